// The COM server of the built Quillon.dll as C++ clients see it, where
// scripts cannot look: every class made through the class objects that
// DllGetClassObject hands out, the interface rules, aggregation, null results
// and pointers, the collections and their enumerator, and the lock count
// behind DllCanUnloadNow. Item's look-up rules need entries, which nothing
// in the DLL adds; they are tested on a collection made in this process.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
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
    // Through the class object the DLL hands out (scripts show CoCreateInstance).
    static HRESULT CreateInstance(const ComClass& c, IUnknown* outer, REFIID iid, void** object) {
        ComPtr<IClassFactory> factory;
        HRESULT result = GetClassObject(*c.classId, IID_IClassFactory, factory.put_void());
        return FAILED(result) ? result : factory->CreateInstance(outer, iid, object);
    }
    template <typename Interface>
    static ComPtr<Interface> Create(const ComClass& c) {
        ComPtr<Interface> object;
        EXPECT_EQ(CreateInstance(c, nullptr, *c.iid, object.put_void()), S_OK);
        return object;
    }

    static HMODULE module;
    static HRESULT registerResult;
};
HMODULE ComServer::module = nullptr;
HRESULT ComServer::registerResult = E_FAIL;

// An outer object for aggregation: counts its references and the
// QueryInterface calls that reach it.
class Outer : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        ++queries;
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    ULONG references = 1;
    int queries = 0;
};

// The enumerator that _NewEnum hands out, as IEnumVARIANT.
ComPtr<IEnumVARIANT> EnumeratorOf(IFeatures* collection) {
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> enumerator;
    EXPECT_EQ(collection->get__NewEnum(unknown.put()), S_OK);
    if (unknown) {
        EXPECT_EQ(unknown->QueryInterface(IID_IEnumVARIANT, enumerator.put_void()), S_OK);
    }
    return enumerator;
}

VARIANT Number(VARTYPE type, double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    EXPECT_EQ(VariantChangeType(&v, &v, 0, type), S_OK);
    return v;
}
VARIANT Key(BSTR text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}
VARIANT Reference(VARTYPE type, void* target) {
    VARIANT v;
    v.vt = type | VT_BYREF;
    v.byref = target;
    return v;
}

}  // namespace

TEST_F(ComServer, EveryClassAnswersItsInterfacesAndCanBeAggregated) {
    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IUnknown> object;
        ASSERT_EQ(CreateInstance(c, nullptr, IID_IUnknown, object.put_void()), S_OK);
        ComPtr<IDispatch> dispatch, own;
        EXPECT_EQ(object->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
        ASSERT_EQ(object->QueryInterface(*c.iid, own.put_void()), S_OK);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(own->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
        EXPECT_EQ(identity.get(), object.get());
        const IID* otherClassIid = kClasses[(&c - kClasses + 1) % 5].iid;
        void* answer = nullptr;
        for (const IID* iid : {&IID_IClassFactory, &IID_IEnumVARIANT, &IID_IPersist, otherClassIid}) {
            answer = reinterpret_cast<void*>(1);
            EXPECT_EQ(object->QueryInterface(*iid, &answer), E_NOINTERFACE);
            EXPECT_EQ(answer, nullptr);
        }

        UINT count = 0;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        ComPtr<ITypeInfo> typeInfo;
        EXPECT_EQ(dispatch->GetTypeInfo(7, 0, nullptr), E_POINTER);
        ASSERT_EQ(dispatch->GetTypeInfo(7, 0, typeInfo.put()), S_OK);  // the index is not examined
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(typeInfo->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualIID(attributes->guid, *c.iid));
        typeInfo->ReleaseTypeAttr(attributes);

        // Aggregated: only the inner unknown may be asked for, and the
        // interfaces leave their identity to the outer object.
        Outer outer;
        answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateInstance(c, &outer, *c.iid, &answer), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(answer, nullptr);
        ComPtr<IUnknown> inner;
        ASSERT_EQ(CreateInstance(c, &outer, IID_IUnknown, inner.put_void()), S_OK);
        ASSERT_EQ(inner->QueryInterface(*c.iid, own.put_void()), S_OK);
        EXPECT_EQ(outer.references, 2u);  // the interface's reference went to the outer object
        own->QueryInterface(IID_IPersist, &answer);
        EXPECT_EQ(outer.queries, 1);
        own.reset();
        EXPECT_EQ(outer.references, 1u);
    }
}

TEST_F(ComServer, ConfigurationNullResultsAndArguments) {
    const std::string sample = QUILLON_TEST_DATA_DIR "/../../examples/setup-config.xml";
    auto config = Create<ICQuillonConfig>(kClasses[0]);
    ASSERT_TRUE(config);
    BstrOwner name(SysAllocString(L"Ledger")), version(SysAllocString(L"4.2")),
        file(SysAllocString(std::wstring(sample.begin(), sample.end()).c_str())),
        protection(SysAllocString(L"Protection")), component;
    EXPECT_EQ(config->put_AppName(name.get()), S_OK);
    EXPECT_EQ(config->put_AppVersion(version.get()), S_OK);
    EXPECT_EQ(config->Parse(file.get()), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 2, nullptr), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 2, component.put()), S_OK);
    EXPECT_STREQ(component.get(), L"Reports");
    EXPECT_EQ(config->GetComponentName(4711, 9, component.put()), S_OK);
    EXPECT_EQ(component.get(), nullptr);  // no match: a null BSTR

    // In protection mode the unsigned file yields an empty name, not a null
    // one. Null texts are taken as null.
    EXPECT_EQ(config->put_Mode(protection.get()), S_OK);
    EXPECT_EQ(config->Parse(file.get()), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 1, component.put()), S_OK);
    ASSERT_NE(component.get(), nullptr);
    EXPECT_EQ(SysStringLen(component.get()), 0u);
    EXPECT_EQ(config->SetProp(nullptr, nullptr, 99), S_OK);
    EXPECT_EQ(config->Parse(nullptr), S_OK);
}

TEST_F(ComServer, TheDllsCollectionsAreEmpty) {
    for (const ComClass* c : {&kClasses[3], &kClasses[4]}) {
        SCOPED_TRACE(c->name);
        auto features = Create<IFeatures>(*c);  // IFeatures and IProperties have the same vtable layout
        ASSERT_TRUE(features);
        LONG count = -1;
        EXPECT_EQ(features->get_Count(&count), S_OK);
        EXPECT_EQ(count, 0);
        IFeature* item = reinterpret_cast<IFeature*>(1);
        EXPECT_EQ(features->get_Item(Number(VT_I4, 1), &item), S_OK);
        EXPECT_EQ(item, nullptr);
        ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features.get());
        ASSERT_TRUE(enumerator);
        VARIANT none;
        EXPECT_EQ(enumerator->Next(1, &none, nullptr), S_FALSE);  // For Each ends at once
    }
}

TEST_F(ComServer, ItemFindsEntriesByKeyBytesOrTruncatedPosition) {
    using quillon::com::FeatureObject;
    auto* features = new quillon::com::FeaturesObject(nullptr);
    ComPtr<IUnknown> holder(features->InnerUnknown());
    holder->AddRef();
    BstrOwner a(SysAllocString(L"a")), upperB(SysAllocString(L"B")), lowerB(SysAllocString(L"b")),
        empty(SysAllocString(L""));
    std::vector<ComPtr<IUnknown>> items;
    for (BSTR key : {a.get(), upperB.get(), a.get()}) {
        items.emplace_back((new FeatureObject(nullptr))->InnerUnknown());
        items.back()->AddRef();
        ASSERT_EQ(features->Entries().Add(items.back().get(), key), S_OK);
    }
    LONG two = 2;
    double threePointTwo = 3.2;
    BSTR upperBText = upperB.get();
    VARIANT inner = Number(VT_I2, 2), innerKey = Key(a.get());
    const struct {
        const char* name;
        VARIANT index;
        int position;  // 0: nothing found
    } cases[] = {
        {"16-bit 1", Number(VT_I2, 1), 1},        {"32-bit 3", Number(VT_I4, 3), 3},
        {"0", Number(VT_I4, 0), 0},               {"past the end", Number(VT_I4, 4), 0},
        {"negative", Number(VT_I4, -1), 0},       {"1.9 is 1", Number(VT_R8, 1.9), 1},
        {"2.99 is 2", Number(VT_R8, 2.99), 2},    {"0.5 is 0", Number(VT_R8, 0.5), 0},
        {"-0.9 is 0", Number(VT_R8, -0.9), 0},    {"far too large", Number(VT_R8, 1e20), 0},
        {"float 3.5", Number(VT_R4, 3.5), 3},     {"long by reference", Reference(VT_I4, &two), 2},
        {"double by reference", Reference(VT_R8, &threePointTwo), 3},
        {"inside a VARIANT by reference", Reference(VT_VARIANT, &inner), 2},
        {"key a, the first of two", Key(a.get()), 1},
        {"key B", Key(upperB.get()), 2},          {"keys are case-sensitive", Key(lowerB.get()), 0},
        {"empty key", Key(empty.get()), 0},       {"key by reference", Reference(VT_BSTR, &upperBText), 2},
        {"key inside a VARIANT by reference", Reference(VT_VARIANT, &innerKey), 1},
        {"a truth value", Number(VT_BOOL, 1), 0}, {"64-bit", Number(VT_I8, 1), 0},
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

    LONG count = 0;
    EXPECT_EQ(features->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(features->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(features->get_Item(Key(a.get()), nullptr), E_POINTER);
    EXPECT_EQ(features->get__NewEnum(nullptr), E_POINTER);

    // The enumerator: partial fetches, a clone where the original stands,
    // Reset and Skip, and null pointers.
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features);
    ASSERT_TRUE(enumerator);
    VARIANT got[2];
    ULONG fetched = 0;
    EXPECT_EQ(enumerator->Next(2, got, nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].vt, VT_DISPATCH);
    VariantClear(&got[0]);
    VariantClear(&got[1]);
    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(enumerator->Clone(clone.put()), S_OK);
    EXPECT_EQ(enumerator->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    VariantClear(&got[0]);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    ComPtr<IDispatch> third;
    items[2]->QueryInterface(IID_IDispatch, third.put_void());
    EXPECT_EQ(got[0].pdispVal, third.get());
    VariantClear(&got[0]);
    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(2), S_OK);
    EXPECT_EQ(enumerator->Skip(2), S_FALSE);
    EXPECT_EQ(enumerator->Next(1, got, nullptr), S_FALSE);
}

TEST_F(ComServer, DllCanUnloadNowOnlyWhenNothingIsHeld) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(CLSID_CQuillonConfig, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(GetClassObject(IID_IFeature, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    {
        auto config = Create<ICQuillonConfig>(kClasses[0]);
        EXPECT_EQ(CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);
    ComPtr<IUnknown> enumerator;
    ASSERT_EQ(Create<IFeatures>(kClasses[3])->get__NewEnum(enumerator.put()), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the enumerator outlives its collection
    enumerator.reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);

    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IClassFactory> factory, again;
        ASSERT_EQ(GetClassObject(*c.classId, IID_IClassFactory, factory.put_void()), S_OK);
        EXPECT_EQ(CanUnloadNow(), S_FALSE);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        ASSERT_EQ(GetClassObject(*c.classId, IID_IClassFactory, again.put_void()), S_OK);
        EXPECT_EQ(again.get(), factory.get());  // kept in the class table
        factory.reset();
        again.reset();
        EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the server lock still holds
        ASSERT_EQ(GetClassObject(*c.classId, IID_IClassFactory, factory.put_void()), S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
        factory.reset();
        EXPECT_EQ(CanUnloadNow(), S_OK);
    }
}
