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

  protected:
    // Records the children as they stand now, for later relayouts.
    void RecordLayout();
    // Before the page is seen, from the sheet showing it or its tab chosen:
    // what waited while no one saw it is brought up to date.
    virtual void ComeIntoView() {}
    BOOL OnSetActive() override;

  private:
    CControlLayout m_layout;
};
