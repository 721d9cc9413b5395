#pragma once

#include "platform/classlib/CmdTarget.h"

#include <string>
#include <vector>

namespace vq {

class CDocTemplate;
class CFrameWnd;
class CView;

// The id of the question before a modified document is closed; "%1" is the document's title.
inline constexpr std::uint32_t IDS_ASK_TO_SAVE = 0xF120;

// The data behind one or more views; takes the commands its views do not handle. A document made
// by a template belongs to it and, unless told otherwise, deletes itself when it is closed.
class CDocument : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CDocument)
public:
    CDocument();
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    BOOL m_bAutoDelete = TRUE;

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    // Every view but the sender hears OnUpdate.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, Object* hintObject = nullptr);

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    const std::string& GetTitle() const { return m_strTitle; }
    // The frames that show the document put the new title in their captions.
    virtual void SetTitle(const char* title);
    const std::string& GetPathName() const { return m_strPathName; }
    // The title becomes the path's last part.
    virtual void SetPathName(const char* path);
    BOOL IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    // A new, empty document. The base empties the contents and clears the modified flag.
    virtual BOOL OnNewDocument();
    // The document read from its path; FALSE when it cannot be. The base empties the contents and
    // clears the modified flag.
    virtual BOOL OnOpenDocument(const char* path);
    // The document written to the path; the base only clears the modified flag.
    virtual BOOL OnSaveDocument(const char* path);
    // Saves under the given path (the document's own when null or empty); on success the path is
    // the document's.
    BOOL DoSave(const char* path);
    // Closes every frame that shows the document, empties it and, when it deletes itself, deletes
    // it: nothing of the document may be used after the call.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Whether the document may go: an unmodified one may; for a modified one the user chooses to
    // save it (and it goes when the save succeeds), to drop the changes, or to keep it.
    virtual BOOL SaveModified();
    // Whether the frame may close: it may when another frame still shows the document, else as
    // SaveModified answers.
    virtual BOOL CanCloseFrame(CFrameWnd* frame);
    BOOL IsShownByOtherFrame(const CFrameWnd* frame) const;
    // The last view went: a document that deletes itself closes.
    virtual void OnChangedViewList();

    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

private:
    friend class CDocTemplate;
    std::vector<CView*> m_views;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::string m_strTitle;
    std::string m_strPathName;
    BOOL m_bModified = FALSE;
};

// Whether `document` names a document that exists now. Decided by identity alone, so a pointer
// kept in a message whose document has since been deleted is never read. Main thread only.
bool IsLiveDocument(const CDocument* document);

} // namespace vq
