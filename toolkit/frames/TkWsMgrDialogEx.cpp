#include "toolkit/frames/TkWsMgrDialogEx.h"

#include "platform/classlib/ListBox.h"
#include "platform/gui/MessageBox.h"
#include "toolkit/frames/TkWSLBEditorEx.h"
#include "toolkit/frames/TkWorkspaceManagerEx.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkWsMgrDialogEx, CDialog)

VQ_BEGIN_MESSAGE_MAP(TkWsMgrDialogEx, CDialog)
VQ_ON_COMMAND(IDC_TK_WORKSPACE_OPEN, OnPick)
VQ_ON_COMMAND(IDC_TK_WORKSPACE_SAVE, OnPick)
VQ_ON_COMMAND(IDC_TK_WORKSPACE_DONE, OnDone)
VQ_END_MESSAGE_MAP()

TkWsMgrDialogEx::TkWsMgrDialogEx(StringList& before, StringList& edited, StringList& deleted, std::string& name,
                                 BOOL openMode, BOOL saveMode, CWnd* parent, const TkWorkspaceRegistry& registry)
    : CDialog(IDD_TK_WORKSPACE_MANAGER, parent),
      m_pEditor(std::make_unique<TkWSLBEditorEx>(before, edited, deleted, this)), m_before(before),
      m_edited(edited), m_deleted(deleted), m_pName(&name), m_activeBefore(name), m_bOpenMode(openMode),
      m_bSaveMode(saveMode), m_registry(registry) {}

TkWsMgrDialogEx::~TkWsMgrDialogEx() = default;

BOOL TkWsMgrDialogEx::OnInitDialog() {
    CDialog::OnInitDialog();
    const HWND list = ::vq::GetDlgItem(m_hWnd, int(IDC_TK_WORKSPACE_LIST));
    for (const std::string& name : m_before)
        ::vq::SendMessage(list, LB_ADDSTRING, 0, LPARAM(name.c_str()));
    EnableButtons(FALSE);
    m_pEditor->Initialize(this, IDC_TK_WORKSPACE_LIST,
                          m_bSaveMode ? kWorkspaceEditorSaveOptions : kWorkspaceEditorOpenOptions);
    m_pEditor->SetWindowText(kWorkspacesText);
    SetWindowText(m_bOpenMode   ? kOpenWorkspaceTitle
                  : m_bSaveMode ? kSaveWorkspaceTitle
                                : kWorkspaceManagerTitle);
    ShowActiveName(m_pName->empty() ? kNoActiveWorkspaceText : m_pName->c_str());
    return TRUE;
}

void TkWsMgrDialogEx::ShowActiveName(const char* text) {
    ::vq::SetWindowText(::vq::GetDlgItem(m_hWnd, int(IDC_TK_WORKSPACE_ACTIVE)), text);
}

void TkWsMgrDialogEx::EnableButtons(BOOL editing) {
    EnableWindow(::vq::GetDlgItem(m_hWnd, int(IDC_TK_WORKSPACE_OPEN)), !editing && m_bOpenMode);
    EnableWindow(::vq::GetDlgItem(m_hWnd, int(IDC_TK_WORKSPACE_SAVE)), !editing && m_bSaveMode);
    EnableWindow(::vq::GetDlgItem(m_hWnd, int(IDC_TK_WORKSPACE_DONE)), !editing);
}

int TkWsMgrDialogEx::ShowMessage(const std::string& text, UINT type) {
    return MessageBox(m_hWnd, text.c_str(), kWorkspaceManagerTitle, type);
}

BOOL TkWsMgrDialogEx::IsValidName(const std::string& name) const {
    return m_registry.IsValidName(name) && name.find_first_not_of(" \t") != std::string::npos;
}

BOOL TkWsMgrDialogEx::IsNameFree(const std::string& name, int position) const {
    const auto same = [&](const std::string& other) { return TkWorkspaceRegistry::SameName(name, other); };
    for (std::size_t i = 0; i < m_edited.size(); ++i)
        if (int(i) != position && same(m_edited[i])) return FALSE;
    // The keys of listed and deleted workspaces follow their entries; any other key is a
    // workspace of its own that a new name must not land on.
    for (const std::string& key : m_registry.KeyNames()) {
        const bool accounted = std::any_of(m_before.begin(), m_before.end(),
                                           [&](const std::string& b) { return TkWorkspaceRegistry::SameName(key, b); }) ||
                               std::any_of(m_deleted.begin(), m_deleted.end(),
                                           [&](const std::string& d) { return TkWorkspaceRegistry::SameName(key, d); });
        if (!accounted && same(key)) return FALSE;
    }
    return TRUE;
}

void TkWsMgrDialogEx::OnEntryRenamed(int position, const std::string& name) {
    if (position < 0 || std::size_t(position) >= m_edited.size()) return;
    m_edited[std::size_t(position)] = name;
    if (m_activeBefore.empty() || !TkWorkspaceRegistry::SameName(m_before[std::size_t(position)], m_activeBefore))
        return;
    *m_pName = name;
    ShowActiveName(name.c_str());
}

void TkWsMgrDialogEx::OnPick() {
    CListBox* list = m_pEditor->GetListBox();
    const int selection = list ? list->GetCurSel() : -1;
    if (selection < 0) {
        ShowMessage(kSelectItemText, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string text = list->GetText(selection);
    if (!IsValidName(text)) {
        ShowMessage(kInvalidWorkspaceNameText, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    *m_pName = text;
    EndDialog(IDOK);
}

void TkWsMgrDialogEx::OnDone() {
    EndDialog(IDOK);
}

} // namespace vq
