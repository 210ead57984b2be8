#pragma once
// The Info page: CPU and RAM usage diagrams with their figures, page file and
// disk figures, the program's options, links to the maker's pages, the about
// text and the button for the system report.
#include "process/CpuUsage.h"
#include "res/resource.h"
#include "ui/OrvPage.h"
#include "ui/controls/EStaticColor.h"
#include "ui/controls/EStaticLink.h"

#include <cstdint>
#include <vector>

class CPropPageInfoDlg : public COrvPage {
  public:
    CPropPageInfoDlg();

    // Puts the flash colour and the warning option into the settings store,
    // which writes its file at exit.
    void SaveOptions();

    // A left-button release anywhere over the page saves the options at the
    // next tick: that is how a changed option gets stored without a tab switch.
    bool PreTranslateMessage(MSG& msg) override;

  protected:
    BOOL OnInitDialog() override;
    // Its texts at once, its diagrams at the next tick, at the seen pace.
    void ComeIntoView() override;
    BOOL OnKillActive() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void OnTimerTick();
    void ClockTick() override { OnTimerTick(); }
    // The timer's period for a page that is seen or not.
    void SetPace(bool seen);
    // The Info page on a sheet the user can see.
    bool IsShowing() const;
    // Adds a CPU and a RAM value to the histories; with draw set also draws
    // the diagrams and sets the texts.
    void RefreshUsage(bool draw);
    void ShowUsageTexts();
    void RefreshOtherInfo();
    void OnStartWithSystemClicked();
    // "Full &report": the system report over the sheet, from the pages' current rows.
    void OpenSystemReport();

    std::vector<uint32_t> m_cpuHistory;
    // Looked up once: finding a dialog item asks the system for the page's
    // children, and the diagrams are fed even while nobody looks.
    HWND m_cpuDiagram = nullptr;
    HWND m_ramDiagram = nullptr;
    std::vector<uint32_t> m_ramHistory;
    int32_t m_lastCpu = 0;
    uint64_t m_lastUsedRam = 0;
    // Set when the page comes into view; the next tick refreshes everything.
    bool m_activated = false;
    bool m_savePending = false;
    bool m_wasShowing = false;
    bool m_seenPace = true;
    CEStaticLink m_contactLink;
    CEStaticLink m_programPageLink;
    CEStaticLink m_otherSoftwareLink;
    CEStaticLink m_donateLink;
    CEStaticColor m_flashColour;
    // The swatch's colour as last saved: a colour chosen in the colour dialog
    // is saved even when no click on the page follows.
    COLORREF m_savedColour = 0;
    CCpuUsage m_cpuUsage;
};
