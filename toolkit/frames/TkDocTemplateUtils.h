#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/GdiTypes.h"

#include <string>
#include <vector>

namespace vq {

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

// Finds the document template that made a frame, and names a template in a form that survives a
// restart: its registry file-type name with its position among the templates sharing that name.
class TkDocTemplateUtils {
public:
    using TemplateList = std::vector<CDocTemplate*>;

    virtual ~TkDocTemplateUtils() = default;

    // -1 when the template is not one of the application's.
    virtual int GetTemplateIndex(CDocTemplate* docTemplate, const std::string& documentString);
    // Past the templates of that name, the last of them; null when there is none.
    virtual CDocTemplate* FindTemplateByString(const std::string& documentString, int index);
    virtual CDocTemplate* FindTemplate(CDocument* document, CView* view, CFrameWnd* frame);
    virtual UINT GetFrameResourceId(CFrameWnd* frame);
    virtual void ListTemplates(TemplateList& list);
    virtual void FilterByViewAndFrameClass(TemplateList& list, CView* view, CFrameWnd* frame);
    virtual void FilterByResourceId(TemplateList& list, CFrameWnd* frame);
    virtual void FilterByDocumentClass(TemplateList& list, CDocument* document);
    // TRUE when at most one template remains, which is then the answer (null for none).
    virtual BOOL IsDecided(const TemplateList& list, CDocTemplate** found);
    // A frame class to compare in place of the templates' own; none by default.
    virtual const RuntimeClass* MapFrameClass(const RuntimeClass* frameClass);
    virtual const RuntimeClass* GetTemplateFrameClass(CDocTemplate* docTemplate, const RuntimeClass* replacement);

    // The template's registry file-type name, by which workspaces name it.
    static std::string DocumentString(CDocTemplate* docTemplate);
};

} // namespace vq
