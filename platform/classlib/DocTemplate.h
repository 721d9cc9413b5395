#pragma once

#include "platform/classlib/CmdTarget.h"
#include "platform/gui/Accelerators.h"

#include <string>
#include <vector>

namespace vq {

class CDocument;
class CFrameWnd;

// Ties a kind of document to the frame and view that show it, and keeps the documents it made.
// Its resource id names the frame's title, accelerators and the document strings: one string of
// fields split at "\n".
class CDocTemplate : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    CDocTemplate(UINT resourceId, const RuntimeClass* documentClass, const RuntimeClass* frameClass,
                 const RuntimeClass* viewClass);
    ~CDocTemplate() override;
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    UINT GetResourceId() const { return m_nIDResource; }
    const RuntimeClass* GetDocumentClass() const { return m_pDocClass; }
    const RuntimeClass* GetFrameClass() const { return m_pFrameClass; }
    const RuntimeClass* GetViewClass() const { return m_pViewClass; }
    // A field of the document strings; FALSE with an empty text when the string has no such field.
    BOOL GetDocString(std::string& text, DocStringIndex index) const;
    // The fields of a document string: split at "\n", an absent field empty.
    static std::string DocStringField(std::string_view all, int index);

    const std::vector<CDocument*>& GetDocuments() const { return m_documents; }
    virtual void AddDocument(CDocument* document);
    virtual void RemoveDocument(CDocument* document);

    // A document of the template's class, listed here; null when the class makes none.
    virtual CDocument* CreateNewDocument();
    // A frame of the template's class made through its LoadFrame, with a view of the template's
    // class showing the document (which may be null); null when it cannot be made.
    virtual CFrameWnd* CreateNewFrame(CDocument* document, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible = TRUE);
    // A new document when the path is null or empty, else the document opened from it, with its
    // frame and view; null, leaving neither document nor frame behind, when any step fails.
    virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* document);
    // Closes every document the template made.
    void CloseAllDocuments(BOOL endSession);

protected:
    UINT m_nIDResource;
    const RuntimeClass* m_pDocClass;
    const RuntimeClass* m_pFrameClass;
    const RuntimeClass* m_pViewClass;
    std::string m_strDocStrings;
    std::vector<CDocument*> m_documents;
};

// A template for any number of documents, each in frames of its own.
class CMultiDocTemplate : public CDocTemplate {
    VQ_DECLARE_RUNTIME_CLASS(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT resourceId, const RuntimeClass* documentClass, const RuntimeClass* frameClass,
                      const RuntimeClass* viewClass);
    ~CMultiDocTemplate() override;

    // The accelerators of the template's resource id, null when it has none; the frames of the
    // template use them.
    HACCEL m_hAccelTable = nullptr;
    // The menu of the template's resource id, null when it has none; its MDI children show it.
    HMENU m_hMenuShared = nullptr;

    CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
    // The document name with the number of the next untitled document of the template.
    void SetDefaultTitle(CDocument* document) override;

private:
    int m_nUntitledCount = 0;
};

} // namespace vq
