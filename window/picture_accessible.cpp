// Picture1's accessible object: the system's standard one for the box, with its own name and role.
#include "picture_accessible.h"

#include "picture_box.h"
#include "utf8.h"

#include <oleacc.h>

#include <new>
#include <string>

namespace wordrope {

namespace {

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Everything but the name and the role comes from the standard object: where the box is, its
// parent, its state and focus, as for any other control.
class PictureAccessible final : public IAccessible {
public:
    PictureAccessible(HWND box, IAccessible* standard) : box_(box), standard_(standard) {}

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
            standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        if (!IsWindow(box_)) return E_FAIL;  // the window has gone; a reader may still ask
        *name = SysAllocString(widen(pictureName(box_)).c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!isSelf(child)) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }

#define WORDROPE_FORWARD(method, params, args) \
    HRESULT STDMETHODCALLTYPE method params override { return standard_->method args; }
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

LRESULT pictureAccessibleObject(HWND box, WPARAM flags, LPARAM objectId) {
    // The identifier is a 32-bit value, sign-extended or not in a 64-bit LPARAM.
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(box, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new (std::nothrow) PictureAccessible(box, standard);
    if (!object) {
        standard->Release();
        return 0;
    }
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), flags, object);
    object->Release();  // the result holds its own reference
    return result;
}

}  // namespace wordrope
