// The browser-linked scrollbar against real pages.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include <memory>
#include <vector>

#include "shell/MyScrollBar.h"
#include "shell/WebBrowser.h"
#include "tests/support/QtTestUtil.h"

namespace {

class ScrollFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        host->resize(400, 583);
        view = new TWebBrowser(host.get());
        view->setGeometry(0, 0, 381, 583);
        bar = new TMyScrollBar(host.get());
        bar->setGeometry(381, 0, 19, 583);
        bar->m_web = view;
        bar->BindWeb();
        host->show();
        view->Navigate(QStringLiteral("about:blank"));
    }
    // Writes a page of the given height and waits for the measurement of it.
    void Page(int height) {
        QSignalSpy complete(view, &TWebBrowser::DocumentComplete);
        WriteHtml(view,
                  "<body leftMargin=0  topMargin=0 scroll=\"no\" style=\";width:100%; border-width=0;\">"
                  "<div style=\"height:" +
                      std::to_string(height) + "px\"></div></body>");
        ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
        // The measurement after completion has been applied.
        QSignalSpy measured(bar, &TMyScrollBar::RangeUpdated);
        bar->UpdateRange();
        ASSERT_TRUE(WaitUntil([&] { return measured.count() > 0; }));
    }
    int PageOffset() { return RunJs(view, "window.scrollY").toInt(); }

    std::unique_ptr<QWidget> host;
    TWebBrowser* view = nullptr;
    TMyScrollBar* bar = nullptr;
};

} // namespace

TEST_F(ScrollFixture, StartsDisabledWithTheBaseValues) {
    TMyScrollBar fresh;
    EXPECT_FALSE(fresh.isEnabled());
    EXPECT_EQ(fresh.Min(), 0);
    EXPECT_EQ(fresh.Max(), 100);
    EXPECT_EQ(fresh.PageSize(), 0);
    EXPECT_EQ(fresh.Position(), 0);
    EXPECT_EQ(fresh.SmallChange(), 1);
    EXPECT_EQ(fresh.LargeChange(), 1);
    EXPECT_EQ(fresh.focusPolicy(), Qt::NoFocus);
}

TEST_F(ScrollFixture, TallPageInA583PixelView) {
    ASSERT_EQ(view->ViewHeight(), 583);
    Page(1000);
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->Max(), 1000);
    EXPECT_EQ(bar->PageSize(), 583);
    EXPECT_EQ(bar->LargeChange(), 583);
    EXPECT_EQ(bar->SmallChange(), 80);
    EXPECT_EQ(bar->m_maxPos, 418);

    // Wheel steps towards the bottom: the bar goes to 418, the page, which ends
    // at 1000 - 583 = 417, clamps the last step of 18.
    const int positions[] = {80, 160, 240, 320, 400, 418, 418};
    const int offsets[] = {80, 160, 240, 320, 400, 417, 417};
    for (size_t i = 0; i < std::size(positions); ++i) {
        bar->ScrollDown();
        EXPECT_EQ(bar->Position(), positions[i]);
        EXPECT_EQ(bar->m_lastPos, positions[i]);
        EXPECT_TRUE(WaitUntil([&] { return PageOffset() == offsets[i]; })) << "step " << i;
    }
    // Setting the position beyond the end clamps to Max - PageSize + 1.
    bar->SetPosition(5000);
    EXPECT_EQ(bar->Position(), 418);
}

TEST_F(ScrollFixture, WheelUpFromFiftyGoesToTheTop) {
    Page(1000);
    bar->SetPosition(50);
    ASSERT_TRUE(WaitUntil([&] { return PageOffset() == 50; }));
    bar->ScrollUp();
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_TRUE(WaitUntil([&] { return PageOffset() == 0; }));
}

TEST_F(ScrollFixture, PageThatFitsDisablesTheBar) {
    Page(1000);
    bar->ScrollDown();
    ASSERT_EQ(bar->Position(), 80);
    Page(583); // exactly the view's height; no ResetPos before it
    EXPECT_FALSE(bar->isEnabled());
    bar->ScrollDown();
    bar->ScrollUp();
    EXPECT_EQ(bar->Position(), 80); // the wheel does nothing while disabled
}

TEST_F(ScrollFixture, ResetPosReturnsBarAndPageToTheTop) {
    Page(1000);
    bar->ScrollDown();
    bar->ScrollDown();
    ASSERT_TRUE(WaitUntil([&] { return PageOffset() == 160; }));
    bar->ResetPos();
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_TRUE(bar->m_reset);
    Page(2000);
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_FALSE(bar->m_reset);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(bar->m_lastPos, 0);
    EXPECT_EQ(bar->m_maxPos, 2000 - 583 + 1);
}

TEST_F(ScrollFixture, NewPageWithoutResetKeepsThePosition) {
    Page(1000);
    bar->ScrollDown();
    bar->ScrollDown();
    Page(1200);
    EXPECT_EQ(bar->Position(), 160);
    EXPECT_EQ(PageOffset(), 0); // the new page starts at its top
    bar->ScrollDown();
    EXPECT_TRUE(WaitUntil([&] { return PageOffset() == 80; })); // moved by the difference only
}

TEST(ScrollBarWithoutDocument, UpdateRangeEndsEnabledAtZero) {
    TWebBrowser view;
    TMyScrollBar bar;
    bar.m_web = &view;
    QSignalSpy measured(&bar, &TMyScrollBar::RangeUpdated);
    bar.UpdateRange();
    ASSERT_TRUE(WaitUntil([&] { return measured.count() > 0; }));
    EXPECT_TRUE(bar.isEnabled());
    EXPECT_EQ(bar.Position(), 0);
}
