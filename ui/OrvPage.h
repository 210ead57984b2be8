#pragma once
// The base of the main sheet's pages: each keeps the layout of its own children.
#include "ui/ControlLayout.h"
#include "win/PropSheet.h"

class COrvPage : public win::PropertyPage {
  public:
    explicit COrvPage(UINT templateId) : win::PropertyPage(templateId) {}
    // Fits the children to the page's present size and repaints at once.
    void RelayoutChildren();
    // The sheet is about to show: its current page comes into view.
    void PrepareToShow();

    // The page's periodic work: on a timer of its own while the sheet shows;
    // while it hides, the sheet's tick calls ClockTick whenever the period has
    // passed, so a program in the tray wakes for one clock only.
    void UseSheetClock(bool sheetClock);
    // From the sheet's tick, every elapsedMs while it hides.
    void SheetTick(unsigned elapsedMs);

  protected:
    // Records the children as they stand now, for later relayouts.
    void RecordLayout();
    // Before the page is seen, from the sheet showing it or its tab chosen:
    // what waited while no one saw it is brought up to date.
    virtual void ComeIntoView() {}
    BOOL OnSetActive() override;

    // Sets the page clock going (again) with the period; its id is kPageClockId.
    void StartClock(unsigned periodMs);
    // One beat of the page clock, whichever drives it.
    virtual void ClockTick() {}
    static constexpr UINT_PTR kPageClockId = 0;

  private:
    CControlLayout m_layout;
    unsigned m_clockPeriodMs = 0;
    bool m_onSheetClock = false;
    unsigned m_sinceTickMs = 0;
};
