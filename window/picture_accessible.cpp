// Picture1's accessible object: the system's standard one for the box, with its own name and role.
#include "picture_accessible.h"

#include "dll_search.h"
#include "picture_box.h"
#include "utf8.h"

#include <oleacc.h>

#include <new>
#include <string>
#include <utility>

namespace wordrope {

namespace {

// Dynamic Annotation's service and the live setting, which MinGW-w64 does not all declare.
constexpr GUID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on

// The live setting of `control`'s client object: set to polite, or cleared.
void annotate(HWND control, bool live) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return;
    if (live) {
        VARIANT polite = {};
        polite.vt = VT_I4;
        polite.lVal = kPolite;
        services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSetting, polite);
    } else {
        services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &kLiveSetting, 1);
    }
    services->Release();
}

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Everything but the name and the role comes from the standard object: where the box is, its
// parent, its state and focus, as for any other control. Once the box has gone, every question
// fails, also from a reader that still holds the object.
class PictureAccessible final : public IAccessible {
public:
    PictureAccessible(HWND box, IAccessible* standard) : box_(box), standard_(standard) {}

    // The box goes: the standard object is let go, and no reader reaches this one any more.
    void disconnect() {
        if (IAccessible* standard = std::exchange(standard_, nullptr)) standard->Release();
        CoLockObjectExternal(static_cast<IAccessible*>(this), FALSE, TRUE);
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            if (standard_) standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!standard_) return E_FAIL;
        if (!isSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = SysAllocString(widen(pictureName(box_)).c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!standard_) return E_FAIL;
        if (!isSelf(child)) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }

#define WORDROPE_FORWARD(method, params, args) \
    HRESULT STDMETHODCALLTYPE method params override { return standard_ ? standard_->method args : E_FAIL; }
    WORDROPE_FORWARD(GetTypeInfoCount, (UINT * n), (n))
    WORDROPE_FORWARD(GetTypeInfo, (UINT i, LCID l, ITypeInfo** t), (i, l, t))
    WORDROPE_FORWARD(GetIDsOfNames, (REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d), (r, n, c, l, d))
    WORDROPE_FORWARD(Invoke,
                     (DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a),
                     (d, r, l, f, p, v, e, a))
    WORDROPE_FORWARD(get_accParent, (IDispatch * *parent), (parent))
    WORDROPE_FORWARD(get_accChildCount, (LONG * count), (count))
    WORDROPE_FORWARD(get_accChild, (VARIANT c, IDispatch** out), (c, out))
    WORDROPE_FORWARD(get_accValue, (VARIANT c, BSTR* out), (c, out))
    WORDROPE_FORWARD(get_accDescription, (VARIANT c, BSTR* out), (c, out))
    WORDROPE_FORWARD(get_accState, (VARIANT c, VARIANT* out), (c, out))
    WORDROPE_FORWARD(get_accHelp, (VARIANT c, BSTR* out), (c, out))
    WORDROPE_FORWARD(get_accHelpTopic, (BSTR * file, VARIANT c, LONG* topic), (file, c, topic))
    WORDROPE_FORWARD(get_accKeyboardShortcut, (VARIANT c, BSTR* out), (c, out))
    WORDROPE_FORWARD(get_accFocus, (VARIANT * out), (out))
    WORDROPE_FORWARD(get_accSelection, (VARIANT * out), (out))
    WORDROPE_FORWARD(get_accDefaultAction, (VARIANT c, BSTR* out), (c, out))
    WORDROPE_FORWARD(accSelect, (LONG flags, VARIANT c), (flags, c))
    WORDROPE_FORWARD(accLocation, (LONG * x, LONG* y, LONG* w, LONG* h, VARIANT c), (x, y, w, h, c))
    WORDROPE_FORWARD(accNavigate, (LONG dir, VARIANT start, VARIANT* end), (dir, start, end))
    WORDROPE_FORWARD(accHitTest, (LONG x, LONG y, VARIANT* out), (x, y, out))
    WORDROPE_FORWARD(accDoDefaultAction, (VARIANT c), (c))
    WORDROPE_FORWARD(put_accName, (VARIANT c, BSTR name), (c, name))
    WORDROPE_FORWARD(put_accValue, (VARIANT c, BSTR value), (c, value))
#undef WORDROPE_FORWARD

private:
    ~PictureAccessible() = default;

    LONG refs_ = 1;
    HWND box_;
    IAccessible* standard_;
};

}  // namespace

LRESULT pictureAccessibleObject(HWND box, WPARAM flags, LPARAM objectId, IAccessible*& kept) {
    // The identifier is a 32-bit value, sign-extended or not in a 64-bit LPARAM.
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    // Active Accessibility from the system folder (loaded at start-up), where the system has it.
    const auto createStandard =
        systemFunction<decltype(CreateStdAccessibleObject)>(L"oleacc.dll", "CreateStdAccessibleObject");
    const auto answer = systemFunction<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    if (!createStandard || !answer) return 0;
    if (!kept) {
        IAccessible* standard = nullptr;
        if (FAILED(createStandard(box, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&standard))))
            return 0;
        kept = new (std::nothrow) PictureAccessible(box, standard);
        if (!kept) {
            standard->Release();
            return 0;
        }
        // COM's stub for the object, through which readers in other processes reach it, is kept
        // as long as the object: otherwise it goes each time a reader lets go, and is made again
        // for the next question, and Wine leaves about a kilobyte of each behind.
        CoLockObjectExternal(kept, TRUE, FALSE);
    }
    return answer(__uuidof(IAccessible), flags, kept);
}

void markLiveRegion(HWND control) { annotate(control, true); }
void unmarkLiveRegion(HWND control) { annotate(control, false); }

void announceLiveRegion(HWND control) {
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

void letGoOfPictureAccessible(IAccessible*& kept) {
    if (!kept) return;
    static_cast<PictureAccessible*>(kept)->disconnect();
    std::exchange(kept, nullptr)->Release();
}

}  // namespace wordrope
