// The dialog framework on a template built in memory: message maps dispatch
// in table order with the derived class before its base, Default() hands a
// message on, DDX_Control binds the wrappers, and the combo box wrapper keeps
// item data by position.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"

namespace {

constexpr int kEditId = 1017;
constexpr int kComboId = 1009;
constexpr UINT kProbe = WM_APP + 1;

// A dialog with one edit and one drop-down list, laid out as DLGTEMPLATE and
// DLGITEMTEMPLATE records with their WORD-aligned trailing arrays.
class MemoryTemplate {
  public:
    MemoryTemplate() {
        DLGTEMPLATE dlg = {};
        dlg.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        dlg.cdit = 2;
        dlg.cx = 100;
        dlg.cy = 60;
        Append(&dlg, sizeof dlg);
        Words({0, 0, 0}); // menu, class, title
        Item(kEditId, 0x0081, WS_CHILD | WS_VISIBLE | WS_BORDER, 10);
        Item(kComboId, 0x0085, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 30);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

  private:
    void Append(const void* data, size_t size) {
        const auto* w = static_cast<const WORD*>(data);
        m_words.insert(m_words.end(), w, w + size / 2);
    }
    void Words(std::initializer_list<WORD> words) { m_words.insert(m_words.end(), words); }
    void Item(int id, WORD atom, DWORD style, short y) {
        if (m_words.size() % 2 != 0) {
            m_words.push_back(0); // DWORD alignment of each item
        }
        DLGITEMTEMPLATE item = {};
        item.style = style;
        item.x = 5;
        item.y = y;
        item.cx = 80;
        item.cy = 50;
        item.id = static_cast<WORD>(id);
        Append(&item, sizeof item);
        Words({0xFFFF, atom, 0, 0}); // class by atom, no title, no creation data
    }
    std::vector<WORD> m_words;
};

class CBaseProbeDlg : public CDialog {
  public:
    explicit CBaseProbeDlg(const DLGTEMPLATE* t) : CDialog(t) {}
    void OnBaseClick() { calls.push_back("base"); }
    std::vector<std::string> calls;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbeDlg, CDialog)
ON_BN_CLICKED(7, OnBaseClick)
ON_BN_CLICKED(8, OnBaseClick)
END_MESSAGE_MAP()

class CProbeDlg : public CBaseProbeDlg {
  public:
    explicit CProbeDlg(const DLGTEMPLATE* t) : CBaseProbeDlg(t) {}
    BOOL OnInitDialog() override {
        CBaseProbeDlg::OnInitDialog();
        // Commands sent while the dialog is up, then a close.
        for (WORD id : {7, 8, 9}) {
            SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
        }
        comboItems = m_combo.GetCount();
        m_combo.InsertString(0, "second");
        m_combo.InsertString(0, "first");
        m_combo.SetItemData(0, 11);
        m_combo.SetItemData(1, 22);
        m_combo.SetCurSel(1);
        selectedData = m_combo.GetItemData(m_combo.GetCurSel());
        badIndexData = m_combo.GetItemData(5);
        m_edit.SetWindowText("bounded text");
        shortRead = m_edit.GetWindowText(shortBuffer, sizeof shortBuffer);
        PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    void FirstOn7() { calls.push_back("first7"); }
    void SecondOn7() { calls.push_back("second7"); }
    void PassOn9() {
        calls.push_back("pass9");
        Default();
    }
    void OnCancel() override {
        calls.push_back("cancel");
        CDialog::OnCancel();
    }

    CComboBox m_combo;
    CEdit m_edit;
    int comboItems = -1;
    DWORD_PTR selectedData = 0;
    DWORD_PTR badIndexData = 0;
    char shortBuffer[6] = {};
    int shortRead = -1;
    DECLARE_MESSAGE_MAP()

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kComboId, m_combo);
        DDX_Control(pDX, kEditId, m_edit);
    }
};

BEGIN_MESSAGE_MAP(CProbeDlg, CBaseProbeDlg)
ON_BN_CLICKED(7, FirstOn7)
ON_BN_CLICKED(7, SecondOn7)
ON_BN_CLICKED(9, PassOn9)
END_MESSAGE_MAP()

TEST(DialogFrameworkTest, MapsDispatchInTableOrderDerivedBeforeBase) {
    MemoryTemplate t;
    CProbeDlg dlg(t.Get());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // 7: the derived map's first entry only; 8: the base map; 9: handled, then
    // default processing; the close reaches the virtual OnCancel.
    EXPECT_EQ(dlg.calls, (std::vector<std::string>{"first7", "base", "pass9", "cancel"}));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(DialogFrameworkTest, BoundWrappersReachTheirControls) {
    MemoryTemplate t;
    CProbeDlg dlg(t.Get());
    dlg.DoModal();
    EXPECT_EQ(dlg.comboItems, 0);
    EXPECT_EQ(dlg.selectedData, 22u);
    EXPECT_EQ(dlg.badIndexData, static_cast<DWORD_PTR>(CB_ERR));
    // Reads stop at the buffer: five bytes and the terminator.
    EXPECT_EQ(dlg.shortRead, 5);
    EXPECT_STREQ(dlg.shortBuffer, "bound");
}

TEST(DialogFrameworkTest, RunTimeClassKnowsItsBases) {
    MemoryTemplate t;
    CProbeDlg dlg(t.Get());
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    CWnd plain;
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CDialog)));
}

} // namespace
