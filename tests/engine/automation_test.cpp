// The automation layer against an in-process object that records how it was called.
#include "automation.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Members: "Value" (get/put), "Cells" (get with row, column), "PasteSpecial" (method with named
// arguments "Format", "Link"), "Busy" (rejected the first n times), "Fail" (raises an exception).
class Recording_Object final : public IDispatch {
public:
    std::vector<std::wstring> Calls;
    int Lookups = 0;
    int Rejections_Left = 0;
    HRESULT Rejection = RPC_E_CALL_REJECTED;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
    ULONG Refs() const { return refs_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const std::map<std::wstring, DISPID> known = {{L"Value", 1}, {L"Cells", 2}, {L"PasteSpecial", 3},
                                                             {L"Busy", 4},  {L"Fail", 5},  {L"Format", 100},
                                                             {L"Link", 101}};
        ++Lookups;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const auto it = known.find(names[i]);
            ids[i] = it == known.end() ? DISPID_UNKNOWN : it->second;
            if (it == known.end()) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        std::wstring call = std::to_wstring(id) + (flags & DISPATCH_PROPERTYPUT ? L" put" : L"");
        for (UINT i = 0; i < p->cArgs; ++i) {
            VARIANT text;
            VariantInit(&text);
            VariantChangeType(&text, &p->rgvarg[i], 0, VT_BSTR);
            call += L" [" + (i < p->cNamedArgs ? std::to_wstring(p->rgdispidNamedArgs[i]) + L"=" : L"") +
                    std::wstring(text.bstrVal) + L"]";
            VariantClear(&text);
        }
        Calls.push_back(call);
        if (id < 1 || id > 5) return DISP_E_MEMBERNOTFOUND;
        if (id == 4 && Rejections_Left > 0) {
            --Rejections_Left;
            return Rejection;
        }
        if (id == 5) {
            info->bstrDescription = SysAllocString(L"セルが見つかりません");
            info->scode = E_FAIL;
            return DISP_E_EXCEPTION;
        }
        if (result) {
            result->vt = VT_I4;
            result->lVal = 42;
        }
        return S_OK;
    }

private:
    ULONG refs_ = 1;
};

}  // namespace

TEST(Automation, ArgumentsReachTheObjectInDispatchOrder) {
    Recording_Object object;
    const Automation_Object o(Com_Ptr<IDispatch>::Share(&object));
    const Call_Result got = o.Get(L"Cells", {Variant::Long(3), Variant::Long(7)});
    ASSERT_TRUE(got.Ok());
    long value = 0;
    EXPECT_TRUE(got.Value.To_Long(value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(o.Put(L"Value", Variant::Text(L"あ")).Ok());
    EXPECT_TRUE(
        o.Call(L"PasteSpecial", {}, {{L"Format", Variant::Text(L"テキスト")}, {L"Link", Variant::Bool(false)}}).Ok());
    // Positional values last to first; a put passes its value as the DISPID_PROPERTYPUT argument;
    // named values in the order of their names.
    EXPECT_EQ(object.Calls, (std::vector<std::wstring>{L"2 [7] [3]", L"1 put [-3=あ]", L"3 [100=テキスト] [101=0]"}));
}

TEST(Automation, ErrorsKeepTheirCodeAndDescription) {
    Recording_Object object;
    const Automation_Object o(Com_Ptr<IDispatch>::Share(&object));
    const Call_Result failed = o.Call(L"Fail");
    EXPECT_EQ(failed.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.Description, L"セルが見つかりません");
    EXPECT_EQ(o.Get(L"Valeu").Hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(o.Call(L"PasteSpecial", {}, {{L"Formt", Variant::Text(L"x")}}).Hr, DISP_E_UNKNOWNNAME);

    const Automation_Object nothing;
    EXPECT_TRUE(nothing.Is_Nothing());
    EXPECT_FALSE(nothing.Get(L"Name").Ok());

    Error_State errors;
    errors.Record(o.Get(L"Value"));
    EXPECT_FALSE(errors.Failed());
    errors.Record(failed);
    errors.Record(o.Get(L"Valeu"));
    EXPECT_EQ(errors.Number(), DISP_E_EXCEPTION);  // the first failure is kept
    errors.Clear();
    EXPECT_FALSE(errors.Failed());
}

TEST(Automation, RejectedCallsAreRetriedUntilTheServerTakesThem) {
    Recording_Object object;
    object.Rejections_Left = 2;
    const Automation_Object o(Com_Ptr<IDispatch>::Share(&object));
    EXPECT_TRUE(o.Call(L"Busy").Ok());
    EXPECT_EQ(object.Calls.size(), 3u);
    // Excel's own busy answer, while a cell is being edited, is retried the same way.
    object.Rejection = static_cast<HRESULT>(0x800AC472);
    object.Rejections_Left = 1;
    EXPECT_TRUE(o.Call(L"Busy").Ok());
    EXPECT_EQ(object.Calls.size(), 5u);
}

TEST(Automation, ObjectsOfOneKindAskForEachMemberOnce) {
    Recording_Object object;
    const auto range_ids = std::make_shared<Member_Ids>();
    const Automation_Object first(Com_Ptr<IDispatch>::Share(&object), range_ids);
    const Automation_Object second(Com_Ptr<IDispatch>::Share(&object), range_ids);
    EXPECT_TRUE(first.Put(L"Value", Variant::Long(1)).Ok());
    EXPECT_TRUE(second.Put(L"Value", Variant::Long(2)).Ok());
    EXPECT_TRUE(second.Call(L"PasteSpecial", {}, {{L"Format", Variant::Text(L"x")}}).Ok());
    EXPECT_TRUE(first.Call(L"PasteSpecial", {}, {{L"Format", Variant::Text(L"y")}}).Ok());
    EXPECT_EQ(object.Lookups, 2);
    // An ID its kind kept that this object does not know: asked again by name, and kept anew.
    (*range_ids)[L"Value"] = {77};
    EXPECT_TRUE(first.Get(L"Value").Ok());
    EXPECT_EQ(object.Lookups, 3);
    EXPECT_EQ(object.Calls.back(), L"1");
    EXPECT_EQ(range_ids->at(L"Value"), std::vector<DISPID>{1});
}

TEST(Automation, ReleasesWaitWhileAHoldLivesAndNotAfter) {
    Recording_Object object;
    {
        Release_Hold hold;
        {
            const Automation_Object held(Com_Ptr<IDispatch>::Share(&object));
            const Variant value = Variant::Object(&object);
        }
        EXPECT_EQ(object.Refs(), 3u);
        EXPECT_TRUE(Release_Held_One());
        EXPECT_EQ(object.Refs(), 2u);
        { Release_Hold inner; }
        EXPECT_EQ(object.Refs(), 2u);  // the outer hold still lives
    }
    EXPECT_EQ(object.Refs(), 1u);
    EXPECT_FALSE(Release_Held_One());
    { const Automation_Object unheld(Com_Ptr<IDispatch>::Share(&object)); }
    EXPECT_EQ(object.Refs(), 1u);
}

TEST(Automation, NoServerRegisteredUnderTheName) {
    const Call_Result r = Create_Automation_Object(L"CellDrop.NoSuchServer");
    EXPECT_FALSE(r.Ok());
    EXPECT_TRUE(r.Object().Is_Nothing());
}
