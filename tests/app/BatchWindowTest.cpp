// The start button runs the batch on the real controls, against the stand-in
// service: plain runs, and what a user can do while a run waits on a page.
#include <windows.h>
#include <commctrl.h>
#include "AppFixture.h"
#include "StandinPages.h"

namespace {

Row Filled(const std::string& domain) {
  StandinValues v = StandinValuesFor(domain);
  return {domain, v.weight, v.traffic, v.siteCount, v.domainCount, "..."};
}

Row DomainOnly(const std::string& domain) { return {domain, "", "", "", "", ""}; }

}  // namespace

using BatchWindow = AppFixture;

TEST_F(BatchWindow, TypedListFillsTheListAndEndsWithDone) {
  SetDomains("alpha.example\r\nbigcount.test\r\nnocount.test\r\n\r\n beta.example ");
  MessageBoxAnswerer answerer(GetCurrentThreadId());
  Click(Ctl::按钮1);
  EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"完成"});
  std::vector<Row> expected = {
      Filled("alpha.example"),
      {"bigcount.test", StandinValuesFor("bigcount.test").weight, StandinValuesFor("bigcount.test").traffic,
       "1,230,000", "45,600", "..."},
      {"nocount.test", StandinValuesFor("nocount.test").weight, StandinValuesFor("nocount.test").traffic, "0",
       "0", "..."},
      // The empty line is looked up as it is; the stand-in knows no value for it.
      RowsOf(Control(Ctl::超级列表框1)).at(3),
      Filled(" beta.example "),
  };
  EXPECT_EQ(RowsOf(Control(Ctl::超级列表框1)), expected);
  EXPECT_EQ(RowsOf(Control(Ctl::超级列表框1)).at(3)[0], "");
  EXPECT_EQ(RowsOf(Control(Ctl::超级列表框1)).at(3)[5], "...");
  EXPECT_EQ(Standin().Requests().size(), 15u);

  // A second run puts its rows below the first run's.
  SetDomains("gamma.example");
  Click(Ctl::按钮1);
  std::vector<Row> rows = RowsOf(Control(Ctl::超级列表框1));
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows.front(), Filled("alpha.example"));
  EXPECT_EQ(rows.back(), Filled("gamma.example"));
  EXPECT_EQ(answerer.Texts().size(), 2u);
}

TEST_F(BatchWindow, EmptyBoxGivesNoRowAndDone) {
  SetDomains("");
  MessageBoxAnswerer answerer(GetCurrentThreadId());
  Click(Ctl::按钮1);
  EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"完成"});
  EXPECT_EQ(RowCountOf(Control(Ctl::超级列表框1)), 0);
}

// What a user does while the first row's lookup page (3 s on slow.test) is
// on its way, and the rows and messages that must come of it.
enum class During { SecondClick, Clear, ClearThenSecondClick, Edit, Close, CloseInNestedRun };

struct Scenario {
  const char* name;
  During action;
  std::vector<Row> rowsAtFirstDone;  // what the list shows at the first "完成"
  std::vector<Row> rowsAtEnd;
  std::vector<std::string> messages;
};

TEST_F(BatchWindow, ActionsDuringARun) {
  const std::vector<Scenario> scenarios = {
      // The nested run reads the box afresh, appends after the rows that
      // exist, runs to its own "完成" while the outer row is still waiting;
      // then the outer run finishes that row and goes on with its own lines.
      {"second click", During::SecondClick,
       {DomainOnly("slow.test"), Filled("n1.example"), Filled("n2.example")},
       {Filled("slow.test"), Filled("n1.example"), Filled("n2.example"), Filled("x1.example")},
       {"完成", "完成"}},
      // The row being filled is gone: its later writes are dropped, and the
      // next line starts again at the top.
      {"clear", During::Clear, {Filled("x1.example")}, {Filled("x1.example")}, {"完成"}},
      // Rows appended after a clear take the old row's index: the outer
      // run's late writes must not land in them.
      {"clear, then a second click", During::ClearThenSecondClick,
       {Filled("n1.example"), Filled("n2.example")},
       {Filled("n1.example"), Filled("n2.example"), Filled("x1.example")},
       {"完成", "完成"}},
      // The run works on the lines split at its start.
      {"edit", During::Edit,
       {Filled("slow.test"), Filled("x1.example")},
       {Filled("slow.test"), Filled("x1.example")},
       {"完成"}},
      // Closing the window ends the run quietly: no more fetches, no writes,
      // no "完成".
      {"close", During::Close, {}, {}, {}},
      // Closing while a nested run waits ends both runs.
      {"close in a nested run", During::CloseInNestedRun, {}, {}, {}},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    app_ = std::make_unique<App>();
    TakeQuit();
    ASSERT_TRUE(app_->Start(GetModuleHandleA(nullptr)));
    Standin().ClearRequests();
    HWND main = Main();
    HWND list = Control(Ctl::超级列表框1);
    HWND box = Control(Ctl::编辑框1);
    SetDomains("slow.test\r\nx1.example");

    std::vector<Row> atFirstDone;
    bool sawFirst = false;
    MessageBoxAnswerer answerer(GetCurrentThreadId(), [&] {
      if (!sawFirst) atFirstDone = RowsOf(list);
      sawFirst = true;
    });
    WhenThen act([&] { return RowCountOf(list) >= 1 && !Standin().Requests().empty(); },
                 [&] {
                   switch (s.action) {
                     case During::SecondClick:
                       SetWindowTextA(box, "n1.example\r\nn2.example");
                       PostMessageA(app_->Main().Control(Ctl::按钮1), BM_CLICK, 0, 0);
                       break;
                     case During::Clear:
                       PostMessageA(app_->Main().Control(Ctl::按钮2), BM_CLICK, 0, 0);
                       break;
                     case During::ClearThenSecondClick:
                       PostMessageA(app_->Main().Control(Ctl::按钮2), BM_CLICK, 0, 0);
                       SetWindowTextA(box, "n1.example\r\nn2.example");
                       PostMessageA(app_->Main().Control(Ctl::按钮1), BM_CLICK, 0, 0);
                       break;
                     case During::Edit:
                       SetWindowTextA(box, "edited.example");
                       break;
                     case During::Close:
                       PostMessageA(main, WM_CLOSE, 0, 0);
                       break;
                     case During::CloseInNestedRun:
                       SetWindowTextA(box, "slow.test\r\nn1.example");
                       PostMessageA(app_->Main().Control(Ctl::按钮1), BM_CLICK, 0, 0);
                       break;
                   }
                 });
    // The nested run's own slow page is on its way: close then.
    WhenThen closeNested(
        [&] { return s.action == During::CloseInNestedRun && Standin().Requests().size() >= 2; },
        [&] { PostMessageA(main, WM_CLOSE, 0, 0); });
    const bool closes = s.action == During::Close || s.action == During::CloseInNestedRun;
    const size_t requestsBeforeClose = s.action == During::Close ? 1 : 2;
    Click(Ctl::按钮1);
    EXPECT_TRUE(act.Fired());
    EXPECT_EQ(answerer.Texts(), s.messages);
    if (!s.messages.empty()) {
      EXPECT_EQ(atFirstDone, s.rowsAtFirstDone);
    }

    if (closes) {
      if (s.action == During::CloseInNestedRun) {
        EXPECT_TRUE(closeNested.Fired());
      }
      EXPECT_FALSE(IsWindow(main));
      EXPECT_EQ(app_->Windows().Count(), 0);
      EXPECT_TRUE(TakeQuit()) << "the program's loop is told to end";
      // Nothing was fetched after the page that was on its way.
      Sleep(500);
      EXPECT_EQ(Standin().Requests().size(), requestsBeforeClose);
      EXPECT_EQ(app_->Main().Results().RowCount(), 0);
    } else {
      EXPECT_EQ(RowsOf(list), s.rowsAtEnd);
    }
  }
}
