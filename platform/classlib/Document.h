#pragma once

#include "platform/classlib/CmdTarget.h"

#include <vector>

namespace vq {

class CView;

// The data behind one or more views; takes the commands its views do not handle.
class CDocument : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CDocument)
public:
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }

private:
    std::vector<CView*> m_views;
};

} // namespace vq
