#include "platform/win32/accessible_wrapper.h"

#include <oleacc.h>

#include <utility>

#include "platform/win32/com_apartment.h"
#include "platform/win32/oleacc_library.h"
#include "platform/win32/unique_handles.h"

namespace torvane {
namespace {

// Sent by an object to its control for the program's answers: a control that
// has gone answers 0. Controls are sent no other WM_APP message.
constexpr UINT kAnswersMessage = WM_APP + 100;

// Answers every question as the system's own object for the control does,
// except those the control's answers take. It holds the control by value, as
// the system's object does, and finds the answers through the control each
// time.
class AnsweringObject final : public IAccessible {
  public:
    AnsweringObject(UniqueCom<IAccessible> standard, HWND control)
        : standard_(std::move(standard)), control_(control) {}
    AnsweringObject(const AnsweringObject&) = delete;
    AnsweringObject& operator=(const AnsweringObject&) = delete;

    // IOleWindow and IEnumVARIANT are the system object's. Every other
    // interface is refused, so that what COM asks while marshalling (IMarshal
    // and the like) is never answered for the system's object instead.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == kAccessibleIid) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == __uuidof(IOleWindow) || iid == __uuidof(IEnumVARIANT))
            return standard_->QueryInterface(iid, object);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients of Active Accessibility call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // What the program answers itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return TextAnswer(AccessibleText::Name, child, name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return TextAnswer(AccessibleText::Description, child, description,
                          &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return TextAnswer(AccessibleText::DefaultAction, child, action,
                          &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        AccessibleAnswers* answers = Answers();
        LONG own = 0;
        if (!role || !answers || child.vt != VT_I4 || !answers->Role(control_, child.lVal, own))
            return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = own;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleAnswers* answers = Answers();
        HRESULT result = S_OK;
        if (!answers || child.vt != VT_I4 ||
            !answers->DoDefaultAction(control_, child.lVal, result))
            return standard_->accDoDefaultAction(child);
        return result;
    }

    // Everything else, as the system's object answers; it also answers for a
    // control that has gone, as it does for any other window.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    // Null once the control has gone. Only a window of this thread is asked,
    // should the handle ever come back for another program's window.
    AccessibleAnswers* Answers() const {
        if (GetWindowThreadProcessId(control_, nullptr) != GetCurrentThreadId()) return nullptr;
        return reinterpret_cast<AccessibleAnswers*>(SendMessageW(control_, kAnswersMessage, 0, 0));
    }

    HRESULT TextAnswer(AccessibleText which, VARIANT& child, BSTR* out,
                       HRESULT (STDMETHODCALLTYPE IAccessible::*system)(VARIANT, BSTR*)) {
        AccessibleAnswers* answers = Answers();
        const wchar_t* text =
            answers && child.vt == VT_I4 ? answers->Text(which, control_, child.lVal) : nullptr;
        if (!out || !text) return (standard_.get()->*system)(child, out);
        *out = Accessibility().sysAllocString(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    LONG references_ = 1;
    UniqueCom<IAccessible> standard_;
    HWND control_;
};

// WM_GETOBJECT's answer for the control's client area.
bool AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The id is a 32-bit value, which 64-bit Windows does not always
    // sign-extend into lParam: only the low 32 bits count
    // (https://learn.microsoft.com/windows/win32/winauto/wm-getobject).
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    const AccessibilityFunctions& functions = Accessibility();
    void* standard = nullptr;
    if (!functions.loaded() || FAILED(functions.createStdAccessibleObject(
                                   control, OBJID_CLIENT, kAccessibleIid, &standard)))
        return false;
    auto* object =
        new AnsweringObject(UniqueCom<IAccessible>(static_cast<IAccessible*>(standard)), control);
    // The reference is marshalled, which needs the thread in its apartment.
    EnsureComApartment();
    const LRESULT answer = functions.lresultFromObject(kAccessibleIid, wParam, object);
    object->Release();              // the client's reference, if any, keeps it
    if (answer <= 0) return false;  // a failure is a negative HRESULT
    result = answer;
    return true;
}

}  // namespace

// Defined here, so that the table of these functions is built here alone.
const wchar_t* AccessibleAnswers::Text(AccessibleText, HWND, LONG) {
    return nullptr;
}
bool AccessibleAnswers::Role(HWND, LONG, LONG&) {
    return false;
}
bool AccessibleAnswers::DoDefaultAction(HWND, LONG, HRESULT&) {
    return false;
}

bool OnAccessibilityMessage(HWND control, AccessibleAnswers& answers, UINT message, WPARAM wParam,
                            LPARAM lParam, LRESULT& result) {
    if (message == kAnswersMessage) {
        // Only to the objects on this thread: another process learns no address.
        result = InSendMessage() ? 0 : reinterpret_cast<LRESULT>(&answers);
        return true;
    }
    return message == WM_GETOBJECT && AnswerGetObject(control, wParam, lParam, result);
}

}  // namespace torvane
