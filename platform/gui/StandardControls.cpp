#include "platform/gui/StandardControls.h"

#include "platform/gui/Button.h"
#include "platform/gui/ComboBox.h"
#include "platform/gui/Edit.h"
#include "platform/gui/ListBox.h"
#include "platform/gui/ListView.h"
#include "platform/gui/Progress.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/Static.h"
#include "platform/gui/StatusBar.h"
#include "platform/gui/TabControl.h"
#include "platform/gui/ToolTip.h"
#include "platform/gui/UpDown.h"

namespace vq {

void RegisterStandardControls() {
    static const bool registered = [] {
        WNDCLASS button;
        button.style = CS_DBLCLKS;
        button.lpfnWndProc = ButtonProc;
        button.hCursor = LoadCursor(IDC_ARROW);
        button.lpszClassName = "Button";
        WNDCLASS label;
        label.lpfnWndProc = StaticProc;
        label.hCursor = LoadCursor(IDC_ARROW);
        label.lpszClassName = "Static";
        WNDCLASS scrollBar;
        scrollBar.lpfnWndProc = ScrollBarProc;
        scrollBar.hCursor = LoadCursor(IDC_ARROW);
        scrollBar.lpszClassName = "ScrollBar";
        WNDCLASS edit;
        edit.style = CS_DBLCLKS;
        edit.lpfnWndProc = EditProc;
        edit.hCursor = LoadCursor(IDC_IBEAM);
        edit.lpszClassName = "Edit";
        WNDCLASS listBox;
        listBox.style = CS_DBLCLKS;
        listBox.lpfnWndProc = ListBoxProc;
        listBox.hCursor = LoadCursor(IDC_ARROW);
        listBox.lpszClassName = "ListBox";
        WNDCLASS toolTip;
        toolTip.lpfnWndProc = ToolTipProc;
        toolTip.hCursor = LoadCursor(IDC_ARROW);
        toolTip.lpszClassName = TOOLTIPS_CLASS;
        WNDCLASS comboBox;
        comboBox.style = CS_DBLCLKS;
        comboBox.lpfnWndProc = ComboBoxProc;
        comboBox.hCursor = LoadCursor(IDC_ARROW);
        comboBox.lpszClassName = "ComboBox";
        WNDCLASS tabControl;
        tabControl.style = CS_DBLCLKS;
        tabControl.lpfnWndProc = TabControlProc;
        tabControl.hCursor = LoadCursor(IDC_ARROW);
        tabControl.lpszClassName = WC_TABCONTROL;
        WNDCLASS upDown;
        upDown.style = CS_DBLCLKS;
        upDown.lpfnWndProc = UpDownProc;
        upDown.hCursor = LoadCursor(IDC_ARROW);
        upDown.lpszClassName = UPDOWN_CLASS;
        WNDCLASS listView;
        listView.style = CS_DBLCLKS;
        listView.lpfnWndProc = ListViewProc;
        listView.hCursor = LoadCursor(IDC_ARROW);
        listView.lpszClassName = WC_LISTVIEW;
        WNDCLASS progress;
        progress.lpfnWndProc = ProgressProc;
        progress.hCursor = LoadCursor(IDC_ARROW);
        progress.lpszClassName = PROGRESS_CLASS;
        WNDCLASS status;
        status.style = CS_DBLCLKS;
        status.lpfnWndProc = StatusBarProc;
        status.hCursor = LoadCursor(IDC_ARROW);
        status.lpszClassName = STATUSCLASSNAME;
        return RegisterClass(button) != FALSE && RegisterClass(label) != FALSE &&
               RegisterClass(scrollBar) != FALSE && RegisterClass(edit) != FALSE &&
               RegisterClass(listBox) != FALSE && RegisterClass(toolTip) != FALSE &&
               RegisterClass(comboBox) != FALSE && RegisterClass(tabControl) != FALSE &&
               RegisterClass(upDown) != FALSE && RegisterClass(listView) != FALSE &&
               RegisterClass(progress) != FALSE && RegisterClass(status) != FALSE;
    }();
    (void)registered;
}

} // namespace vq
