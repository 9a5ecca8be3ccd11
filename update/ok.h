// The software-information query made at start-up: a plain GET of
// "<url>?pid=<pid>" answered with UTF-8 text lines.
#pragma once

#include <string>
#include <vector>

struct SOFT_INFO {
    std::string Extra1;     // answer line 3, carried
    std::string Extra2;     // answer line 7, carried
    std::string UpdateUrl;  // answer line 6: URL of the update archive
    std::string UpdateName; // answer line 4: base name of the archive and the new program
    std::string Extra3;     // answer line 2, carried
    std::string Version;    // answer line 5: version label of the current release
};

class TOK {
public:
    // Empties info first; true when the service answered with anything but
    // "error", info then holding the values of answer lines 2 to 7.
    bool GetSoftInfo(const std::string& url, const std::string& pid, SOFT_INFO& info);
    // The decoded answer, or "error" when the request failed. A body that is
    // not valid UTF-8 gives empty text.
    std::string QueryText(const std::string& url, const std::string& pid);

    // The answer's non-empty lines: CR and LF end a line except inside a run
    // opened by a quote character and closed by the same character.
    static std::vector<std::string> SplitLines(const std::string& text);
    // Fills info from an answer text (line 1 skipped, lines 2 to 7 mapped).
    static void ParseSoftInfo(const std::string& text, SOFT_INFO& info);
};
