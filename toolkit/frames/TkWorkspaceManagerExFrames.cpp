#include "platform/classlib/DocManager.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/WindowPlacement.h"
#include "toolkit/frames/TkDocTemplateUtils.h"
#include "toolkit/frames/TkPersistentTreeNode.h"
#include "toolkit/frames/TkWorkspaceManagerEx.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace vq {

namespace {

constexpr UINT kFileSaveCommand = 0xE103;
constexpr const char* kFramesNode = "Frames";
constexpr const char* kMainFrameNode = "MainFrame";
constexpr const char* kChildFramesNode = "ChildFrames";
constexpr const char* kPlacementKey = "WindowPlacement";
constexpr const char* kTitleKey = "Title";
constexpr const char* kPathKey = "DocPathName";
constexpr const char* kDocumentStringKey = "DocumentString";
constexpr const char* kTemplateIndexKey = "DocTemplateIndex";
constexpr const char* kActiveKey = "IsActiveChildFrame";

std::string Numbered(const char* prefix, int number) {
    return prefix + std::to_string(number);
}

void StorePlacement(CFrameWnd* frame, TkPersistentTreeNode* node) {
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    if (!GetWindowPlacement(frame->m_hWnd, &placement)) return;
    node->SetBinaryValue(kPlacementKey, reinterpret_cast<const u8*>(&placement), sizeof placement, true);
}

// Only a whole record that says it is one reaches the window; anything else is ignored.
void ApplyPlacement(CFrameWnd* frame, TkPersistentTreeNode* node) {
    std::unique_ptr<u8[]> data;
    u32 count = 0;
    if (node->GetBinaryValue(kPlacementKey, &data, &count) != 0 || count != sizeof(WINDOWPLACEMENT)) return;
    WINDOWPLACEMENT placement;
    std::memcpy(&placement, data.get(), sizeof placement);
    if (placement.length != sizeof placement) return;
    SetWindowPlacement(frame->m_hWnd, &placement);
}

void StoreTemplate(CDocTemplate* docTemplate, TkPersistentTreeNode* node) {
    TkDocTemplateUtils utils;
    const std::string documentString = TkDocTemplateUtils::DocumentString(docTemplate);
    node->SetValue(kDocumentStringKey, documentString, true);
    const int index = utils.GetTemplateIndex(docTemplate, documentString);
    if (index >= 0) node->SetIntValue(kTemplateIndexKey, index, true);
}

// A frame's own activation, leaving it shown as it is.
void Activate(CFrameWnd* frame) {
    if (auto* child = dynamic_cast<CMDIChildWnd*>(frame)) {
        if (CMDIFrameWnd* mdiFrame = child->GetMDIFrame()) {
            mdiFrame->MDIActivate(child);
            return;
        }
    }
    SetActiveWindow(frame->m_hWnd);
}

} // namespace

BOOL TkWorkspaceManagerEx::SaveFrames(TkPTNFactory* factory, TkPersistentTreeNode* root) {
    if (!root || !factory) return FALSE;
    TkPersistentTreeNode* frames = factory->CreateNode(kFramesNode, root);
    if (!frames) return FALSE;
    SaveMainFrame(factory, frames);
    CFrameWnd* active = m_pFrame ? m_pFrame->GetActiveFrame() : nullptr;
    if (active == m_pFrame) active = nullptr;
    const HWND activeWindow = active ? active->m_hWnd : 0;
    SaveChildFrames(factory, frames, active);
    // Asking for file names may have activated other frames: the noted one comes back.
    if (active && IsWindow(activeWindow) && FromHandlePermanent(activeWindow) == active) {
        CFrameWnd* now = m_pFrame->GetActiveFrame();
        if (now && now != m_pFrame && now != active) Activate(active);
    }
    return TRUE;
}

BOOL TkWorkspaceManagerEx::SaveMainFrame(TkPTNFactory* factory, TkPersistentTreeNode* frames) {
    if (!frames || !factory || !m_pFrame) return FALSE;
    TkPersistentTreeNode* node = factory->CreateNode(kMainFrameNode, frames);
    if (!node) return FALSE;
    StorePlacement(m_pFrame, node);
    node->SetValue(kTitleKey, m_pFrame->GetWindowText(), true);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::SaveChildFrames(TkPTNFactory* factory, TkPersistentTreeNode* frames,
                                           CFrameWnd* activeChild) {
    if (!frames || !factory) return FALSE;
    TkPersistentTreeNode* childFrames = factory->CreateNode(kChildFramesNode, frames);
    if (!childFrames) return FALSE;
    if (!AfxGetApp()) return FALSE;
    TkDocTemplateUtils utils;
    TkDocTemplateUtils::TemplateList templates;
    utils.ListTemplates(templates);
    // A frame met again shows a further view of its document; one without a node stays without.
    std::unordered_map<CFrameWnd*, TkPersistentTreeNode*> recorded;
    int documentNumber = 0;
    int additionalNumber = 0;
    for (CDocTemplate* docTemplate : templates) {
        const std::vector<CDocument*> documents = docTemplate->GetDocuments();
        for (CDocument* document : documents) {
            if (!IsLiveDocument(document)) continue;
            TkPersistentTreeNode* documentNode =
                factory->CreateNode(Numbered("Document-", documentNumber++), childFrames);
            int frameNumber = 0;
            const std::vector<CView*> views = document->GetViews();
            for (CView* view : views) {
                CFrameWnd* frame = view->GetParentFrame();
                if (!frame) continue;
                if (const auto found = recorded.find(frame); found != recorded.end()) {
                    SaveAdditionalView(document, view, frame, factory, found->second, additionalNumber++);
                    continue;
                }
                recorded[frame] = SaveChildFrame(document, view, frame, activeChild, factory, documentNode,
                                                 frameNumber++);
                // Saving may have closed the document with its views.
                if (!IsLiveDocument(document)) break;
            }
        }
    }
    return TRUE;
}

TkPersistentTreeNode* TkWorkspaceManagerEx::SaveChildFrame(CDocument* document, CView* view, CFrameWnd* frame,
                                                           CFrameWnd* activeChild, TkPTNFactory* factory,
                                                           TkPersistentTreeNode* documentNode, int number) {
    if (!document || !frame || !documentNode || !factory) return nullptr;
    TkDocTemplateUtils utils;
    CDocTemplate* docTemplate = utils.FindTemplate(document, view, frame);
    if (!docTemplate) return nullptr;
    SaveModifiedDocument(frame, document);
    if (!IsLiveDocument(document) || document->GetPathName().empty()) return nullptr;
    TkPersistentTreeNode* node = factory->CreateNode(Numbered("ViewFrame-", number), documentNode);
    if (!node) return nullptr;
    node->SetValue(kPathKey, document->GetPathName(), true);
    StoreTemplate(docTemplate, node);
    if (!SaveFramePlacement(frame, node)) StorePlacement(frame, node);
    node->SetBoolValue(kActiveKey, frame == activeChild, true);
    return node;
}

TkPersistentTreeNode* TkWorkspaceManagerEx::SaveAdditionalView(CDocument* document, CView* view, CFrameWnd* frame,
                                                               TkPTNFactory* factory,
                                                               TkPersistentTreeNode* frameNode, int number) {
    if (!document || !view || !frame || !frameNode || !factory) return nullptr;
    TkDocTemplateUtils utils;
    CDocTemplate* docTemplate = utils.FindTemplate(document, view, frame);
    if (!docTemplate) return nullptr;
    TkPersistentTreeNode* node = factory->CreateNode(Numbered("AdditionalViewPerFrame-", number), frameNode);
    if (node) StoreTemplate(docTemplate, node);
    return node;
}

BOOL TkWorkspaceManagerEx::SaveFramePlacement(CFrameWnd*, TkPersistentTreeNode*) {
    return FALSE;
}

BOOL TkWorkspaceManagerEx::SaveModifiedDocument(CFrameWnd* frame, CDocument* document) {
    if (frame && document && (document->IsModified() || document->GetPathName().empty())) {
        Activate(frame);
        frame->SendMessage(WM_COMMAND, kFileSaveCommand, 0);
    }
    return TRUE;
}

BOOL TkWorkspaceManagerEx::LoadFrames(TkPersistentTreeNode* root, CFrameWnd** activeChild) {
    TkPersistentTreeNode* frames = root ? root->FindChild(kFramesNode) : nullptr;
    if (!frames) return FALSE;
    LoadMainFrame(frames);
    LoadChildFrames(frames, activeChild);
    return TRUE;
}

BOOL TkWorkspaceManagerEx::LoadMainFrame(TkPersistentTreeNode* frames) {
    TkPersistentTreeNode* node = frames ? frames->FindChild(kMainFrameNode) : nullptr;
    if (!node || !m_pFrame) return FALSE;
    ApplyPlacement(m_pFrame, node);
    std::string title;
    node->GetValue(kTitleKey, title, "");
    m_pFrame->SetWindowText(title.c_str());
    return TRUE;
}

BOOL TkWorkspaceManagerEx::LoadChildFrames(TkPersistentTreeNode* frames, CFrameWnd** activeChild) {
    TkPersistentTreeNode* childFrames = frames ? frames->FindChild(kChildFramesNode) : nullptr;
    if (!childFrames) return FALSE;
    for (const std::string& documentName : childFrames->GetChildNames()) {
        TkPersistentTreeNode* documentNode = childFrames->FindChild(documentName);
        if (!documentNode) continue;
        CDocument* document = nullptr;
        CFrameWnd* frame = nullptr;
        for (const std::string& frameName : documentNode->GetChildNames())
            if (TkPersistentTreeNode* frameNode = documentNode->FindChild(frameName))
                LoadChildFrame(frameNode, &document, &frame, activeChild);
    }
    return TRUE;
}

BOOL TkWorkspaceManagerEx::LoadChildFrame(TkPersistentTreeNode* node, CDocument** document, CFrameWnd** frame,
                                          CFrameWnd** activeChild) {
    if (!node || !document || !frame) return FALSE;
    std::string documentString;
    node->GetValue(kDocumentStringKey, documentString, "");
    i32 index = 0;
    node->GetIntValue(kTemplateIndexKey, index, 0);
    TkDocTemplateUtils utils;
    CDocTemplate* docTemplate = utils.FindTemplateByString(documentString, std::max(index, 0));
    if (!docTemplate) return FALSE;
    std::string path;
    node->GetValue(kPathKey, path, "");

    // A document closed meanwhile is not carried on.
    if (*document && !IsLiveDocument(*document)) *document = nullptr;
    CFrameWnd* newFrame = nullptr;
    if (*document) {
        newFrame = FindFrameForDocument(node, docTemplate, *document, *frame);
        if (!newFrame) newFrame = CreateFrameForDocument(docTemplate, *document, *frame);
        if (!newFrame) return FALSE;
    } else if (CDocument* open = FindOpenDocument(node, docTemplate, path)) {
        if (open->GetViews().empty()) return FALSE;
        CFrameWnd* shown = open->GetViews().front()->GetParentFrame();
        if (!shown) return FALSE;
        *document = open;
        *frame = shown;
        docTemplate->InitialUpdateFrame(shown, open, TRUE);
        return TRUE;
    } else {
        newFrame = OpenDocumentFrame(docTemplate, path, document);
        if (!newFrame) return FALSE;
    }
    docTemplate->InitialUpdateFrame(newFrame, *document, TRUE);
    ApplyPlacement(newFrame, node);
    bool active = false;
    node->GetBoolValue(kActiveKey, active, false);
    if (active && activeChild) *activeChild = newFrame;
    *frame = newFrame;
    for (const std::string& name : node->GetChildNames())
        RestoreAdditionalView(*document, newFrame, node->FindChild(name));
    return TRUE;
}

BOOL TkWorkspaceManagerEx::RestoreAdditionalView(CDocument* document, CFrameWnd* frame, TkPersistentTreeNode* node) {
    return document && frame && node;
}

CFrameWnd* TkWorkspaceManagerEx::OpenDocumentFrame(CDocTemplate* docTemplate, const std::string& path,
                                                   CDocument** document) {
    if (!docTemplate || !document) return nullptr;
    CDocument* opened = docTemplate->OpenDocumentFile(path.empty() ? nullptr : path.c_str(), FALSE);
    if (!opened || opened->GetViews().empty()) return nullptr;
    *document = opened;
    return opened->GetViews().front()->GetParentFrame();
}

CDocument* TkWorkspaceManagerEx::FindOpenDocument(TkPersistentTreeNode*, CDocTemplate*, const std::string&) {
    return nullptr;
}

CFrameWnd* TkWorkspaceManagerEx::CreateFrameForDocument(CDocTemplate* docTemplate, CDocument* document,
                                                        CFrameWnd* other) {
    if (!docTemplate || !document) return nullptr;
    return docTemplate->CreateNewFrame(document, other);
}

CFrameWnd* TkWorkspaceManagerEx::FindFrameForDocument(TkPersistentTreeNode*, CDocTemplate*, CDocument*,
                                                      CFrameWnd*) {
    return nullptr;
}

BOOL TkWorkspaceManagerEx::ActivateChildFrame(CFrameWnd* frame) {
    if (!frame) return FALSE;
    Activate(frame);
    auto* mdiFrame = dynamic_cast<TkMDIFrameWnd*>(m_pFrame);
    if (!mdiFrame) return FALSE;
    auto* child = dynamic_cast<TkMDIChildWnd*>(frame);
    mdiFrame->SwitchMenu(child ? child->m_nMenuId : UINT(-1));
    return TRUE;
}

BOOL TkWorkspaceManagerEx::CloseDocumentFrames() {
    CWinApp* app = AfxGetApp();
    if (!app) return FALSE;
    // Handles, not pointers: closing one frame may take others (and their objects) with it.
    std::vector<HWND> frames;
    if (app->m_pDocManager) {
        for (const auto& docTemplate : app->m_pDocManager->GetDocTemplates())
            for (CDocument* document : docTemplate->GetDocuments())
                for (CView* view : document->GetViews()) {
                    CFrameWnd* frame = view->GetParentFrame();
                    if (!frame || frame == m_pFrame || !frame->m_hWnd) continue;
                    if (std::find(frames.begin(), frames.end(), frame->m_hWnd) == frames.end())
                        frames.push_back(frame->m_hWnd);
                }
    }
    for (HWND window : frames)
        if (IsWindow(window)) ::vq::SendMessage(window, WM_CLOSE, 0, 0);
    return TRUE;
}

} // namespace vq
