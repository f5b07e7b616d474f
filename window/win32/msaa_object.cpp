#include "window/win32/msaa_object.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "window/win32/library.h"

namespace korvane::win32 {

namespace {

// oleacc.dll and oleaut32.dll are loaded from the system folder the first time a screen reader
// asks, not at start-up: most users never need them.
struct Library {
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    BSTR(WINAPI* sysAllocString)(const OLECHAR*) = nullptr;
};

const Library& Oleacc() {
    static const Library library = [] {
        Library l;
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            return l;
        }
        const std::wstring system(folder, length);
        HMODULE oleacc = LoadLibraryW((system + L"\\oleacc.dll").c_str());
        HMODULE oleaut = LoadLibraryW((system + L"\\oleaut32.dll").c_str());
        l.createStdAccessibleObject = LibraryFunction<decltype(l.createStdAccessibleObject)>(
            oleacc, "CreateStdAccessibleObject");
        l.lresultFromObject =
            LibraryFunction<decltype(l.lresultFromObject)>(oleacc, "LresultFromObject");
        l.sysAllocString = LibraryFunction<decltype(l.sysAllocString)>(oleaut, "SysAllocString");
        return l;
    }();
    return library;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    const auto allocate = Oleacc().sysAllocString;
    *out = allocate != nullptr ? allocate(text.c_str()) : nullptr;
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT None(BSTR* out) {
    *out = nullptr;
    return S_FALSE;
}

VARIANT Number(long value) {
    VARIANT v{};
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

void Clear(VARIANT& v) {
    if (V_VT(&v) == VT_DISPATCH && V_DISPATCH(&v) != nullptr) {
        V_DISPATCH(&v)->Release();
    }
    V_VT(&v) = VT_EMPTY;
}

bool IsSelf(const VARIANT& child) {
    return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF;
}

// A COM interface implemented with a reference count; the object goes when the last reference
// does. Screen readers call it on the window's one thread only.
template <typename Interface> class Counted : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    Counted() = default;
    virtual ~Counted() = default;

private:
    long references_ = 1;
};

// The children of an object, one after the other, for screen readers that walk the tree.
class ChildList final : public Counted<IEnumVARIANT> {
public:
    explicit ChildList(std::vector<VARIANT> children) : children_(std::move(children)) {}
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        ULONG given = 0;
        for (; given < count && next_ < children_.size(); ++given, ++next_) {
            out[given] = children_[next_];
            if (V_VT(&out[given]) == VT_DISPATCH) {
                V_DISPATCH(&out[given])->AddRef();
            }
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = children_.size() - next_;
        next_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        std::vector<VARIANT> copy = children_;
        for (VARIANT& v : copy) {
            if (V_VT(&v) == VT_DISPATCH) {
                V_DISPATCH(&v)->AddRef();
            }
        }
        auto* clone = new ChildList(std::move(copy));
        clone->next_ = next_;
        *out = clone;
        return S_OK;
    }

private:
    ~ChildList() override {
        for (VARIANT& v : children_) {
            Clear(v);
        }
    }

    std::vector<VARIANT> children_;
    std::size_t next_ = 0;
};

// The system's object for a window, with the window's presentation laid over it. Child ids
// after the system object's own children stand for the drawn children.
class Accessible final : public Counted<IAccessible> {
public:
    Accessible(HWND hwnd, IAccessible* system, Presentation presentation)
        : hwnd_(hwnd), system_(system), presentation_(std::move(presentation)) {
        if (FAILED(system_->get_accChildCount(&systemChildren_))) {
            systemChildren_ = 0;
        }
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    // IUnknown: everything but IAccessible itself, and the list of children where the window
    // adds drawn ones, is the system object's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == IID_IEnumVARIANT && !presentation_.drawn.empty()) {
            *out = static_cast<IEnumVARIANT*>(new ChildList(Children()));
            return S_OK;
        }
        return system_->QueryInterface(riid, out);
    }

    // IDispatch: through IAccessible's type information, onto this object's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        ITypeInfo* info = nullptr;
        HRESULT hr = system_->GetTypeInfo(0, locale, &info);
        if (SUCCEEDED(hr)) {
            hr = info->Invoke(static_cast<IAccessible*>(this), id, flags, params, result, exception,
                              argument);
            info->Release();
        }
        return hr;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        *count = systemChildren_ + static_cast<long>(presentation_.drawn.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (Drawn(child) != nullptr) {
            *out = nullptr;
            return S_FALSE; // a simple element, answered by this object
        }
        return system_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (const DrawnChild* drawn = Drawn(child)) {
            return Text(drawn->name, out);
        }
        if (IsSelf(child) && !presentation_.name.empty()) {
            return Text(presentation_.name, out);
        }
        return system_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (Drawn(child) != nullptr) {
            *out = nullptr;
            return DISP_E_MEMBERNOTFOUND;
        }
        return system_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return OwnText(child, presentation_.description, out, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (const DrawnChild* drawn = Drawn(child)) {
            *out = Number(drawn->role);
            return S_OK;
        }
        if (IsSelf(child) && presentation_.role != 0) {
            *out = Number(presentation_.role);
            return S_OK;
        }
        return system_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (Drawn(child) != nullptr) {
            *out = Number(STATE_SYSTEM_READONLY);
            return S_OK;
        }
        const HRESULT hr = system_->get_accState(child, out);
        if (SUCCEEDED(hr) && IsSelf(child) && presentation_.isDefault && V_VT(out) == VT_I4) {
            V_I4(out) |= STATE_SYSTEM_DEFAULT;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return OwnText(child, presentation_.help, out, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (Drawn(child) != nullptr) {
            *topic = 0;
            return None(file);
        }
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Drawn(child) != nullptr ? None(out) : system_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return system_->get_accFocus(out);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return system_->get_accSelection(out);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return OwnText(child, presentation_.defaultAction, out, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override {
        return Drawn(child) != nullptr ? S_FALSE : system_->accSelect(how, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        const DrawnChild* drawn = Drawn(child);
        if (drawn == nullptr) {
            return system_->accLocation(left, top, width, height, child);
        }
        POINT corner{drawn->rect.left, drawn->rect.top};
        ClientToScreen(hwnd_, &corner);
        *left = corner.x;
        *top = corner.y;
        *width = drawn->rect.right - drawn->rect.left;
        *height = drawn->rect.bottom - drawn->rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        // Among the drawn children, the next and the previous; everything else is the
        // system's.
        if (Drawn(start) != nullptr) {
            const long id = V_I4(&start);
            const long to = direction == NAVDIR_NEXT       ? id + 1
                            : direction == NAVDIR_PREVIOUS ? id - 1
                                                           : 0;
            VARIANT target = Number(to);
            if (Drawn(target) == nullptr) {
                V_VT(end) = VT_EMPTY;
                return S_FALSE;
            }
            *end = target;
            return S_OK;
        }
        if (IsSelf(start) && direction == NAVDIR_LASTCHILD && !presentation_.drawn.empty()) {
            *end = Number(systemChildren_ + static_cast<long>(presentation_.drawn.size()));
            return S_OK;
        }
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        const HRESULT hr = system_->accHitTest(x, y, out);
        if (hr != S_OK || !IsSelf(*out)) {
            return hr;
        }
        // On the window itself: a drawn child there, the one of the lowest Order on top.
        POINT point{x, y};
        ScreenToClient(hwnd_, &point);
        for (std::size_t i = 0; i < presentation_.drawn.size(); ++i) {
            if (PtInRect(&presentation_.drawn[i].rect, point) != FALSE) {
                *out = Number(systemChildren_ + 1 + static_cast<long>(i));
                break;
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (Drawn(child) != nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (IsSelf(child) && !presentation_.defaultAction.empty()) {
            // The button clicks itself once the screen reader's call has returned; a disabled
            // one takes no click, as from the mouse.
            if (IsWindowEnabled(hwnd_) == FALSE) {
                return E_FAIL;
            }
            PostMessageW(hwnd_, BM_CLICK, 0, 0);
            return S_OK;
        }
        return system_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

private:
    ~Accessible() override { system_->Release(); }

    // A text of the presentation: none for a drawn child, the presentation's own for the object
    // itself where it has one, the system's otherwise.
    HRESULT OwnText(const VARIANT& child, const std::wstring& own, BSTR* out,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*system)(VARIANT, BSTR*)) {
        if (Drawn(child) != nullptr) {
            return None(out);
        }
        if (IsSelf(child) && !own.empty()) {
            return Text(own, out);
        }
        return (system_->*system)(child, out);
    }

    // The drawn child a child id stands for, or nullptr.
    const DrawnChild* Drawn(const VARIANT& child) const {
        if (V_VT(&child) != VT_I4) {
            return nullptr;
        }
        const long index = V_I4(&child) - systemChildren_ - 1;
        return index >= 0 && index < static_cast<long>(presentation_.drawn.size())
                   ? &presentation_.drawn[static_cast<std::size_t>(index)]
                   : nullptr;
    }

    // The system object's children, then the drawn ones.
    std::vector<VARIANT> Children() const {
        std::vector<VARIANT> children;
        IEnumVARIANT* list = nullptr;
        if (SUCCEEDED(system_->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&list)))) {
            list->Reset();
            VARIANT child{};
            ULONG fetched = 0;
            while (list->Next(1, &child, &fetched) == S_OK && fetched == 1) {
                children.push_back(child);
            }
            list->Release();
        } else {
            for (long id = 1; id <= systemChildren_; ++id) {
                IDispatch* object = nullptr;
                if (system_->get_accChild(Number(id), &object) == S_OK && object != nullptr) {
                    VARIANT v{};
                    V_VT(&v) = VT_DISPATCH;
                    V_DISPATCH(&v) = object;
                    children.push_back(v);
                } else {
                    children.push_back(Number(id));
                }
            }
        }
        for (std::size_t i = 0; i < presentation_.drawn.size(); ++i) {
            children.push_back(Number(systemChildren_ + 1 + static_cast<long>(i)));
        }
        return children;
    }

    HWND hwnd_;
    IAccessible* system_;
    Presentation presentation_;
    long systemChildren_ = 0;
};

} // namespace

LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, Presentation presentation) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) {
        return 0;
    }
    const Library& library = Oleacc();
    IAccessible* system = nullptr;
    if (library.createStdAccessibleObject == nullptr || library.lresultFromObject == nullptr ||
        library.sysAllocString == nullptr ||
        FAILED(library.createStdAccessibleObject(hwnd, OBJID_CLIENT, kIAccessible,
                                                 reinterpret_cast<void**>(&system)))) {
        return 0;
    }
    auto* object = new Accessible(hwnd, system, std::move(presentation));
    const LRESULT answer = library.lresultFromObject(kIAccessible, wParam, object);
    object->Release();
    return answer > 0 ? answer : 0;
}

} // namespace korvane::win32
