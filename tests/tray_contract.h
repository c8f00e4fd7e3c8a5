// What every back end of the notification area must do: an icon added, changed and removed, a
// notice of each kind beside it and taken down, the user's clicks reported and a notice's end
// never. Each back end's test instantiates this suite with a fixture that gives the area, a
// window of its own and the means to act as the user on the icon.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/notification_area.h"

namespace unw {

// A fixture provides: NotificationArea& tray(); std::uintptr_t window() (an existing window);
// bool NoticesExpected() (whether this shell shows notices); and, as the user or the shell:
// void Click() (the left button on the icon), void ClickNotice(), void NoticeTimesOut().
template <typename Fixture>
class TrayContract : public Fixture {};

TYPED_TEST_SUITE_P(TrayContract);

TYPED_TEST_P(TrayContract, AnIconIsAddedChangedAndRemoved) {
  NotificationArea& tray = this->tray();
  const std::uintptr_t clock = tray.IconHandle(0, 0), moved = tray.IconHandle(0, 1);
  ASSERT_NE(clock, 0u);
  ASSERT_NE(moved, clock) << "each picture its own handle";
  EXPECT_EQ(tray.IconHandle(0, 1), moved) << "the same picture, the same handle";
  EXPECT_TRUE(tray.ShowIcon(this->window(), clock, "Unwindle \xE3\x83\x99\xE3\x83\xAB\n00:25:00"));
  EXPECT_TRUE(tray.ShowIcon(this->window(), moved, "Unwindle\r\n00:24:59"));
  EXPECT_TRUE(tray.ShowIcon(this->window(), moved, std::string(300, 'x'))) << "a long tip is cut";
  EXPECT_TRUE(tray.RemoveIcon(this->window()));
  EXPECT_FALSE(tray.RemoveIcon(this->window())) << "gone already";
  // Shown again after it went: added anew.
  EXPECT_TRUE(tray.ShowIcon(this->window(), clock, "again"));
  EXPECT_TRUE(tray.RemoveIcon(this->window()));
}

TYPED_TEST_P(TrayContract, NoticesOfEveryKindShowBesideTheIconOnly) {
  NotificationArea& tray = this->tray();
  EXPECT_EQ(tray.NoticesAllowed(), this->NoticesExpected());
  if (!this->NoticesExpected()) return;
  EXPECT_FALSE(tray.ShowNotice(this->window(), "Unwindle", "no icon", NoticeKind::kInformation))
      << "a notice needs its icon";
  ASSERT_TRUE(tray.ShowIcon(this->window(), tray.IconHandle(1, 0), "tip"));
  for (NoticeKind kind :
       {NoticeKind::kNone, NoticeKind::kInformation, NoticeKind::kWarning, NoticeKind::kError})
    EXPECT_TRUE(tray.ShowNotice(this->window(), "Unwindle",
                                "Time for a break\nClick here \xE3\x83\x99\xE3\x83\xAB", kind))
        << static_cast<int>(kind);
  EXPECT_TRUE(tray.ShowIcon(this->window(), tray.IconHandle(1, 1), "tick")) << "not shown again";
  EXPECT_TRUE(tray.TakeDownNotice(this->window()));
  EXPECT_TRUE(tray.TakeDownNotice(this->window())) << "none on the screen: harmless";
  EXPECT_TRUE(tray.RemoveIcon(this->window()));
  EXPECT_FALSE(tray.TakeDownNotice(this->window())) << "no icon";
}

TYPED_TEST_P(TrayContract, ClicksAreReportedAndANoticesEndIsNot) {
  NotificationArea& tray = this->tray();
  std::vector<TrayEvent> events;
  ASSERT_TRUE(tray.ShowIcon(this->window(), tray.IconHandle(2, 0), "tip"));
  ASSERT_TRUE(tray.Subscribe(this->window(), [&](TrayEvent e) { events.push_back(e); }));
  this->Click();
  this->NoticeTimesOut();
  this->ClickNotice();
  EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::kLeftClick, TrayEvent::kNoticeClicked}));
  tray.Unsubscribe(this->window());
  this->Click();
  EXPECT_EQ(events.size(), 2u) << "nothing after Unsubscribe";
  EXPECT_TRUE(tray.RemoveIcon(this->window()));
}

REGISTER_TYPED_TEST_SUITE_P(TrayContract, AnIconIsAddedChangedAndRemoved,
                            NoticesOfEveryKindShowBesideTheIconOnly,
                            ClicksAreReportedAndANoticesEndIsNot);

}  // namespace unw
