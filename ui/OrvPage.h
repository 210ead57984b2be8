#pragma once
// The base of the main sheet's pages: each keeps the layout of its own children.
#include "ui/ControlLayout.h"
#include "win/PropSheet.h"

class COrvPage : public win::PropertyPage {
  public:
    explicit COrvPage(UINT templateId) : win::PropertyPage(templateId) {}
    // Fits the children to the page's present size and repaints at once.
    void RelayoutChildren();

  protected:
    // Records the children as they stand now, for later relayouts.
    void RecordLayout();

  private:
    CControlLayout m_layout;
};
