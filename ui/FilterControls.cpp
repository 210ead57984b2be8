#include "ui/FilterControls.h"

#include "app/SettingsStore.h"

#include <string>

namespace {

constexpr char kOptionsSection[] = "Options";
constexpr WPARAM kLongestText = 260;

void SetControls(HWND page, int fieldId, int switchId, const std::string& text, bool hide) {
    ::SetDlgItemTextA(page, fieldId, text.c_str());
    ::CheckDlgButton(page, switchId, hide ? BST_CHECKED : BST_UNCHECKED);
}

} // namespace

void CFilterControls::Restore(HWND page) {
    // Short enough that the settings file keeps it whole, escaped.
    ::SendDlgItemMessageA(page, m_fieldId, EM_LIMITTEXT, kLongestText, 0);
    CSettingsStore& settings = GetSettings();
    m_filter.SetText(settings.GetText(kOptionsSection, m_textKey, ""));
    m_filter.SetHideSystem(settings.GetBool(kOptionsSection, m_hideKey, false));
    m_setting = true;
    SetControls(page, m_fieldId, m_switchId, m_filter.GetText(), m_filter.GetHideSystem());
    m_setting = false;
}

bool CFilterControls::IsChange(WORD id, WORD code) const {
    return !m_setting &&
           ((id == m_fieldId && code == EN_CHANGE) || (id == m_switchId && code == BN_CLICKED));
}

void CFilterControls::Read(HWND page) {
    HWND field = ::GetDlgItem(page, m_fieldId);
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(field)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(field, text.data(), static_cast<int>(text.size()))));
    m_filter.SetText(text);
    m_filter.SetHideSystem(::IsDlgButtonChecked(page, m_switchId) == BST_CHECKED);
    CSettingsStore& settings = GetSettings();
    settings.SetText(kOptionsSection, m_textKey, m_filter.GetText());
    settings.SetBool(kOptionsSection, m_hideKey, m_filter.GetHideSystem());
}

void CFilterControls::Clear(HWND page) {
    m_setting = true;
    SetControls(page, m_fieldId, m_switchId, "", false);
    m_setting = false;
}
