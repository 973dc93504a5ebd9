// The print commands' states: one print command at a time, and only a
// document with lines is previewed or printed.
#include <gtest/gtest.h>

#include "app/CommandState.h"

namespace ze {
namespace {

using C = TCommandId;

bool On(const TCommandSnapshot& s, C id) {
  return ComputeCommandStates(s)[Index(id)].Enabled;
}

TEST(PrintCommandStates, FollowTheDocumentAndARunningPrintCommand) {
  TCommandSnapshot s;
  s.Available.set();
  // No page: only the printer's own setting.
  EXPECT_FALSE(On(s, C::PrintPreview));
  EXPECT_FALSE(On(s, C::Print1));
  EXPECT_FALSE(On(s, C::PrintSetup1));
  EXPECT_TRUE(On(s, C::PrinterSetting));

  // An empty document: page setup yes, nothing to preview or print.
  s.HasEditor = true;
  s.PageCount = 1;
  EXPECT_FALSE(On(s, C::PrintPreview));
  EXPECT_FALSE(On(s, C::Print1));
  EXPECT_TRUE(On(s, C::PrintSetup1));

  // A read-only document prints like any other.
  s.HasLines = true;
  s.ReadOnly = true;
  for (C id : {C::PrintPreview, C::Print1, C::PrintSetup1, C::PrinterSetting})
    EXPECT_TRUE(On(s, id)) << Index(id);

  s.PrintBusy = true;
  for (C id : {C::PrintPreview, C::Print1, C::PrintSetup1, C::PrinterSetting})
    EXPECT_FALSE(On(s, id)) << Index(id);
  // The rest of the window is not the printer's to refuse.
  EXPECT_TRUE(On(s, C::SelectAll1));
  EXPECT_TRUE(On(s, C::New1));

  // Without a handler a command stays off whatever the state.
  s.PrintBusy = false;
  s.Available.reset(Index(C::Print1));
  EXPECT_FALSE(On(s, C::Print1));
  EXPECT_TRUE(On(s, C::PrintPreview));
}

} // namespace
} // namespace ze
