// The COM server of the built Quillon.dll as C++ clients see it, where
// scripts cannot look (tests/checks/com_server.sh drives it from cscript):
// every class made through the class objects that DllGetClassObject hands
// out, the interface rules, aggregation refused, null results and pointers,
// and the lock count behind DllCanUnloadNow. Item's look-up rules and the
// enumerator need entries, which nothing in the DLL adds; they are tested on
// a collection made in this process.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <vector>

#include "com/collection_object.h"
#include "com/item_objects.h"
#include "com/quillon_h.h"
#include "dll_export.h"
#include "platform/win32/com_owners.h"

using quillon::win32::BstrOwner;
using quillon::win32::ComPtr;

namespace {

using EntryFn = HRESULT(__stdcall*)();
using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);

struct ComClass {
    const char* name;
    const CLSID* classId;
    const IID* iid;
};
const ComClass kClasses[] = {
    {"CQuillonConfig", &CLSID_CQuillonConfig, &IID_ICQuillonConfig}, {"Property", &CLSID_Property, &IID_IProperty},
    {"Feature", &CLSID_Feature, &IID_IFeature},                       {"Features", &CLSID_Features, &IID_IFeatures},
    {"Properties", &CLSID_Properties, &IID_IProperties},
};

class ComServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module = LoadLibraryA("Quillon.dll");
        if (module != nullptr) registerResult = DllExport<EntryFn>(module, "DllRegisterServer")();
    }
    static void TearDownTestSuite() {
        if (module != nullptr) {
            DllExport<EntryFn>(module, "DllUnregisterServer")();
            FreeLibrary(module);
        }
        CoUninitialize();
    }
    void SetUp() override { ASSERT_EQ(registerResult, S_OK); }

    static HRESULT CanUnloadNow() { return DllExport<EntryFn>(module, "DllCanUnloadNow")(); }
    static HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) {
        return DllExport<GetClassObjectFn>(module, "DllGetClassObject")(classId, iid, object);
    }
    static HRESULT CreateInstance(const ComClass& c, IUnknown* outer, REFIID iid, void** object) {
        ComPtr<IClassFactory> factory;
        HRESULT result = GetClassObject(*c.classId, IID_IClassFactory, factory.put_void());
        return FAILED(result) ? result : factory->CreateInstance(outer, iid, object);
    }

    static inline HMODULE module = nullptr;
    static inline HRESULT registerResult = E_FAIL;
};

// The enumerator that _NewEnum hands out, as IEnumVARIANT.
ComPtr<IEnumVARIANT> EnumeratorOf(IFeatures* collection) {
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> enumerator;
    EXPECT_EQ(collection->get__NewEnum(unknown.put()), S_OK);
    if (unknown) unknown->QueryInterface(IID_IEnumVARIANT, enumerator.put_void());
    return enumerator;
}

VARIANT Number(VARTYPE type, double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    EXPECT_EQ(VariantChangeType(&v, &v, 0, type), S_OK);
    return v;
}
// A BSTR, or with VT_BYREF a value by reference: one pointer either way.
VARIANT Pointing(VARTYPE type, void* pointer) {
    VARIANT v;
    v.vt = type;
    v.byref = pointer;
    return v;
}

}  // namespace

TEST_F(ComServer, EveryClassAnswersItsInterfacesAndAggregatesOnlyAsIUnknown) {
    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IUnknown> object, identity;
        ASSERT_EQ(CreateInstance(c, nullptr, IID_IUnknown, object.put_void()), S_OK);
        ComPtr<IDispatch> own;
        ASSERT_EQ(object->QueryInterface(*c.iid, own.put_void()), S_OK);
        ASSERT_EQ(own->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
        EXPECT_EQ(identity.get(), object.get());
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(*kClasses[(&c - kClasses + 1) % 5].iid, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr) << "another class's interface";
        EXPECT_EQ(own->GetTypeInfo(0, 0, nullptr), E_POINTER);

        // Aggregated (here in another object of the class), only the inner
        // unknown may be asked for.
        answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateInstance(c, object.get(), *c.iid, &answer), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(answer, nullptr);
        ComPtr<IUnknown> inner;
        EXPECT_EQ(CreateInstance(c, object.get(), IID_IUnknown, inner.put_void()), S_OK);
    }
}

TEST_F(ComServer, ComponentNamesAreNullOrEmptyAndNullArgumentsAreTaken) {
    ComPtr<ICQuillonConfig> config;
    ASSERT_EQ(CreateInstance(kClasses[0], nullptr, IID_ICQuillonConfig, config.put_void()), S_OK);
    BstrOwner component, protection(SysAllocString(L"Protection"));
    EXPECT_EQ(config->GetComponentName(4711, 1, component.put()), S_OK);
    EXPECT_EQ(component.get(), nullptr) << "no match: a null BSTR";
    // In protection mode, with nothing verified, the name is empty, not null.
    EXPECT_EQ(config->put_Mode(protection.get()), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 1, component.put()), S_OK);
    EXPECT_STREQ(component.get(), L"");  // a null BSTR would not do
    EXPECT_EQ(config->GetComponentName(4711, 2, nullptr), S_OK);
    EXPECT_EQ(config->SetProp(nullptr, nullptr, 99), S_OK);
    EXPECT_EQ(config->Parse(nullptr), S_OK);
}

TEST_F(ComServer, ItemFindsEntriesByKeyBytesOrTruncatedPosition) {
    auto* features = new quillon::com::FeaturesObject(nullptr);
    ComPtr<IUnknown> holder(features->InnerUnknown());
    holder->AddRef();
    BstrOwner a(SysAllocString(L"a")), upperB(SysAllocString(L"B")), lowerB(SysAllocString(L"b"));
    std::vector<ComPtr<IUnknown>> items;
    for (BSTR key : {a.get(), upperB.get(), a.get()}) {
        items.emplace_back((new quillon::com::FeatureObject(nullptr))->InnerUnknown());
        items.back()->AddRef();
        ASSERT_EQ(features->Entries().Add(items.back().get(), key), S_OK);
    }
    LONG two = 2;
    double threePointTwo = 3.2;
    BSTR upperBText = upperB.get();
    VARIANT inner = Number(VT_I2, 2);
    const struct {
        const char* name;
        VARIANT index;
        int position;  // 0: nothing found
    } cases[] = {
        {"16-bit 1", Number(VT_I2, 1), 1},        {"32-bit 3", Number(VT_I4, 3), 3},
        {"0", Number(VT_I4, 0), 0},               {"past the end", Number(VT_I4, 4), 0},
        {"1.9 is 1", Number(VT_R8, 1.9), 1},      {"far too large", Number(VT_R8, 1e20), 0},
        {"float 3.5", Number(VT_R4, 3.5), 3},     {"long by reference", Pointing(VT_I4 | VT_BYREF, &two), 2},
        {"double by reference", Pointing(VT_R8 | VT_BYREF, &threePointTwo), 3},
        {"inside a VARIANT by reference", Pointing(VT_VARIANT | VT_BYREF, &inner), 2},
        {"key a, the first of two", Pointing(VT_BSTR, a.get()), 1},
        {"keys are case-sensitive", Pointing(VT_BSTR, lowerB.get()), 0},
        {"key by reference", Pointing(VT_BSTR | VT_BYREF, &upperBText), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IFeature* found = reinterpret_cast<IFeature*>(1);
        EXPECT_EQ(features->get_Item(c.index, &found), S_OK);
        ComPtr<IFeature> expected;
        if (c.position != 0) items[c.position - 1]->QueryInterface(IID_IFeature, expected.put_void());
        EXPECT_EQ(found, expected.get());
        if (found) found->Release();
    }
    EXPECT_EQ(features->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(features->get_Item(Number(VT_I4, 1), nullptr), E_POINTER);
    EXPECT_EQ(features->get__NewEnum(nullptr), E_POINTER);

    // The enumerator: null pointers, whole and partial fetches, and skipping
    // past the end.
    ComPtr<IDispatch> third;
    items[2]->QueryInterface(IID_IDispatch, third.put_void());
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features);
    ASSERT_TRUE(enumerator);
    VARIANT got[2];
    ULONG fetched = 0;
    EXPECT_EQ(enumerator->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Skip(1), S_OK);
    EXPECT_EQ(enumerator->Next(1, got, nullptr), S_OK);
    VariantClear(&got[0]);
    EXPECT_EQ(enumerator->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].pdispVal, third.get());
    VariantClear(&got[0]);
    EXPECT_EQ(enumerator->Skip(1), S_FALSE);
    EXPECT_EQ(enumerator->Next(1, got, nullptr), S_FALSE);
}

TEST_F(ComServer, DllCanUnloadNowOnlyWhenNothingIsHeld) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(CLSID_CQuillonConfig, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(GetClassObject(IID_IFeature, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // The DLL's collections are empty; an enumerator outlives its collection.
    ComPtr<IFeatures> features;
    ASSERT_EQ(CreateInstance(kClasses[3], nullptr, IID_IFeatures, features.put_void()), S_OK);
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features.get());
    ASSERT_TRUE(enumerator);
    features.reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    VARIANT item;
    EXPECT_EQ(enumerator->Next(1, &item, nullptr), S_FALSE);  // For Each ends at once
    enumerator.reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // A class object while it is held, and the server lock after it.
    ComPtr<IClassFactory> factory, again;
    ASSERT_EQ(GetClassObject(CLSID_Property, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    ASSERT_EQ(GetClassObject(CLSID_Property, IID_IClassFactory, again.put_void()), S_OK);
    EXPECT_EQ(again.get(), factory.get());  // kept in the class table
    factory.reset();
    again.reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the server lock still holds
    ASSERT_EQ(GetClassObject(CLSID_Property, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}
