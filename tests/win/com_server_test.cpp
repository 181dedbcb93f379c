// The COM server of the built Quillon.dll as clients see it: registered by
// its own DllRegisterServer, every class made with CoCreateInstance, the
// interface rules, aggregation, the collections and their enumerator, the
// lock count behind DllCanUnloadNow, and the embedded type library read back
// member by member. Item's look-up rules need entries, which nothing in the
// DLL adds; they are tested on a collection made in this process.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/collection_object.h"
#include "com/item_objects.h"
#include "com/quillon_h.h"
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
    bool registered;  // Features and Properties have class objects but no registry keys
};
const ComClass kClasses[] = {
    {"CQuillonConfig", &CLSID_CQuillonConfig, &IID_ICQuillonConfig, true},
    {"Property", &CLSID_Property, &IID_IProperty, true},
    {"Feature", &CLSID_Feature, &IID_IFeature, true},
    {"Features", &CLSID_Features, &IID_IFeatures, false},
    {"Properties", &CLSID_Properties, &IID_IProperties, false},
};
const ComClass& kConfigClass = kClasses[0];
const ComClass& kFeaturesClass = kClasses[3];

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class ComServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module = LoadLibraryA("Quillon.dll");
        if (module == nullptr) return;
        registerResult = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")))();
    }
    static void TearDownTestSuite() {
        if (module != nullptr) {
            reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")))();
            FreeLibrary(module);
        }
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_NE(module, nullptr);
        ASSERT_EQ(registerResult, S_OK);
    }

    static HRESULT CanUnloadNow() {
        return reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")))();
    }
    static HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) {
        auto get = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        return get(classId, iid, object);
    }
    // A registered class through CoCreateInstance, the others through the
    // class object the DLL hands out.
    static HRESULT CreateInstance(const ComClass& c, IUnknown* outer, REFIID iid, void** object) {
        if (c.registered) return CoCreateInstance(*c.classId, outer, CLSCTX_INPROC_SERVER, iid, object);
        ComPtr<IClassFactory> factory;
        HRESULT result = GetClassObject(*c.classId, IID_IClassFactory, factory.put_void());
        return FAILED(result) ? result : factory->CreateInstance(outer, iid, object);
    }
    template <typename Interface>
    static ComPtr<Interface> Create(const ComClass& c, const IID& iid) {
        ComPtr<Interface> object;
        EXPECT_EQ(CreateInstance(c, nullptr, iid, object.put_void()), S_OK);
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
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
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
    VariantInit(&v);
    v.vt = type;
    if (type == VT_I2) v.iVal = static_cast<SHORT>(value);
    if (type == VT_I4) v.lVal = static_cast<LONG>(value);
    if (type == VT_R4) v.fltVal = static_cast<float>(value);
    if (type == VT_R8) v.dblVal = value;
    return v;
}

}  // namespace

TEST_F(ComServer, ExportsTheServerEntriesWithOrdinals1To4) {
    const char* names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byName = GetProcAddress(module, names[ordinal - 1]);
        EXPECT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) << names[ordinal - 1];
    }
}

TEST_F(ComServer, EveryClassAnswersExactlyIUnknownIDispatchAndItsOwnInterface) {
    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IUnknown> object = Create<IUnknown>(c, IID_IUnknown);
        ASSERT_TRUE(object);
        if (!c.registered) {
            void* none = nullptr;
            EXPECT_EQ(CoCreateInstance(*c.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &none),
                      REGDB_E_CLASSNOTREG);
        }
        ComPtr<IDispatch> dispatch, own;
        EXPECT_EQ(object->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
        EXPECT_EQ(object->QueryInterface(*c.iid, own.put_void()), S_OK);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(own->QueryInterface(IID_IUnknown, identity.put_void()), S_OK);
        EXPECT_EQ(identity.get(), object.get());

        std::vector<const IID*> others = {&IID_IClassFactory, &IID_IEnumVARIANT, &IID_IPersist};
        for (const ComClass& other : kClasses)
            if (other.iid != c.iid) others.push_back(other.iid);
        for (const IID* iid : others) {
            void* answer = reinterpret_cast<void*>(1);
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
    }
}

TEST_F(ComServer, AggregatedObjectsLeaveTheirIdentityToTheOuterObject) {
    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        Outer outer;
        IUnknown* refused = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(CreateInstance(c, &outer, *c.iid, reinterpret_cast<void**>(&refused)), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(refused, nullptr);

        ComPtr<IUnknown> inner;
        ASSERT_EQ(CreateInstance(c, &outer, IID_IUnknown, inner.put_void()), S_OK);
        ComPtr<IDispatch> own;
        ASSERT_EQ(inner->QueryInterface(*c.iid, own.put_void()), S_OK);
        EXPECT_EQ(outer.references, 2u);  // the interface's reference went to the outer object
        void* other = nullptr;
        own->QueryInterface(IID_IPersist, &other);
        EXPECT_EQ(outer.queries, 1);
        own.reset();
        EXPECT_EQ(outer.references, 1u);
    }
}

TEST_F(ComServer, ConfigurationMembersThroughTheVtableAndNames) {
    const std::wstring sample = Wide(QUILLON_TEST_DATA_DIR "/../../examples/setup-config.xml");
    auto config = Create<ICQuillonConfig>(kConfigClass, IID_ICQuillonConfig);
    ASSERT_TRUE(config);
    BstrOwner name(SysAllocString(L"Ledger")), version(SysAllocString(L"4.2")), file(SysAllocString(sample.c_str()));
    EXPECT_EQ(config->put_AppName(name.get()), S_OK);
    EXPECT_EQ(config->put_AppVersion(version.get()), S_OK);
    EXPECT_EQ(config->Parse(file.get()), S_OK);
    BstrOwner component;
    EXPECT_EQ(config->GetComponentName(4711, 2, component.put()), S_OK);
    EXPECT_STREQ(component.get(), L"Reports");
    EXPECT_EQ(config->GetComponentName(4711, 2, nullptr), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 9, component.put()), S_OK);
    EXPECT_EQ(component.get(), nullptr);

    // In protection mode the unsigned file yields an empty name, not a null
    // one (a difference scripts cannot see). Null texts are taken as null.
    BstrOwner protection(SysAllocString(L"Protection"));
    EXPECT_EQ(config->put_Mode(protection.get()), S_OK);
    EXPECT_EQ(config->Parse(file.get()), S_OK);
    EXPECT_EQ(config->GetComponentName(4711, 1, component.put()), S_OK);
    ASSERT_NE(component.get(), nullptr);
    EXPECT_EQ(SysStringLen(component.get()), 0u);
    EXPECT_EQ(config->SetProp(nullptr, nullptr, 99), S_OK);
    EXPECT_EQ(config->Parse(nullptr), S_OK);

    // Late binding: exact names, another letter case, and unknown names.
    const struct {
        const wchar_t* name;
        HRESULT result;
        DISPID id;
    } names[] = {{L"AppName", S_OK, 2}, {L"appname", S_OK, 2}, {L"GETCOMPONENTNAME", S_OK, 5},
                 {L"Mode", S_OK, 6},    {L"NoSuchMember", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}};
    for (const auto& n : names) {
        DISPID id = 12345;
        LPOLESTR text = const_cast<LPOLESTR>(n.name);
        EXPECT_EQ(config->GetIDsOfNames(IID_NULL, &text, 1, 0, &id), n.result);
        EXPECT_EQ(id, n.id);
    }
}

TEST_F(ComServer, EmptyCollectionsAndTheirEnumerators) {
    for (const ComClass* c : {&kClasses[3], &kClasses[4]}) {
        SCOPED_TRACE(c->name);
        // IFeatures and IProperties have the same vtable layout.
        auto features = Create<IFeatures>(*c, *c->iid);
        ASSERT_TRUE(features);
        LONG count = -1;
        EXPECT_EQ(features->get_Count(&count), S_OK);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(features->get_Count(nullptr), E_POINTER);

        BstrOwner key(SysAllocString(L"x"));
        VARIANT byKey;
        byKey.vt = VT_BSTR;
        byKey.bstrVal = key.get();
        for (const VARIANT& index : {Number(VT_I4, 1), byKey}) {
            IFeature* item = reinterpret_cast<IFeature*>(1);
            EXPECT_EQ(features->get_Item(index, &item), S_OK);
            EXPECT_EQ(item, nullptr);
            EXPECT_EQ(features->get_Item(index, nullptr), E_POINTER);
        }

        EXPECT_EQ(features->get__NewEnum(nullptr), E_POINTER);
        ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features.get());
        ASSERT_TRUE(enumerator);
        VARIANT items[2];
        ULONG fetched = 9;
        EXPECT_EQ(enumerator->Next(1, items, nullptr), S_FALSE);  // For Each ends at once
        EXPECT_EQ(enumerator->Next(2, items, &fetched), S_FALSE);
        EXPECT_EQ(fetched, 0u);
        EXPECT_EQ(enumerator->Next(2, items, nullptr), E_POINTER);
        EXPECT_EQ(enumerator->Next(1, nullptr, &fetched), E_POINTER);
        EXPECT_EQ(enumerator->Skip(1), S_FALSE);
        EXPECT_EQ(enumerator->Reset(), S_OK);
        ComPtr<IEnumVARIANT> clone;
        EXPECT_EQ(enumerator->Clone(clone.put()), S_OK);
        EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);
    }
}

TEST_F(ComServer, ItemFindsEntriesByKeyBytesOrTruncatedPosition) {
    using quillon::com::FeatureObject;
    using quillon::com::FeaturesObject;
    auto* features = new FeaturesObject(nullptr);
    ComPtr<IUnknown> holder(features->InnerUnknown());
    holder->AddRef();
    std::vector<ComPtr<IUnknown>> items;
    for (const wchar_t* key : {L"a", L"B", L"a"}) {
        auto* item = new FeatureObject(nullptr);
        items.emplace_back(item->InnerUnknown());
        items.back()->AddRef();
        BstrOwner text(SysAllocString(key));
        ASSERT_EQ(features->Entries().Add(items.back().get(), text.get()), S_OK);
    }

    BstrOwner a(SysAllocString(L"a")), upperB(SysAllocString(L"B")), lowerB(SysAllocString(L"b")), empty(SysAllocString(L""));
    LONG two = 2;
    double threePointTwo = 3.2;
    BSTR upperBText = upperB.get();
    VARIANT inner = Number(VT_I2, 2), innerKey;
    innerKey.vt = VT_BSTR;
    innerKey.bstrVal = a.get();
    auto Key = [](BSTR text) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = text;
        return v;
    };
    auto Reference = [](VARTYPE type, void* target) {
        VARIANT v;
        v.vt = type | VT_BYREF;
        v.byref = target;
        return v;
    };
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
        if (c.position == 0) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ComPtr<IFeature> expected;
        items[c.position - 1]->QueryInterface(IID_IFeature, expected.put_void());
        EXPECT_EQ(found, expected.get());
        if (found) found->Release();
    }

    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(features);
    ASSERT_TRUE(enumerator);
    VARIANT got[2];
    ULONG fetched = 0;
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
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);  // the clone started where the original stood
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
    auto getClassObject = &ComServer::GetClassObject;
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(CLSID_CQuillonConfig, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(getClassObject(IID_IFeature, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    {
        auto config = Create<ICQuillonConfig>(kConfigClass, IID_ICQuillonConfig);
        EXPECT_EQ(CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);

    ComPtr<IUnknown> enumerator;
    {
        auto features = Create<IFeatures>(kFeaturesClass, IID_IFeatures);
        ASSERT_EQ(features->get__NewEnum(enumerator.put()), S_OK);
    }
    EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the enumerator outlives its collection
    enumerator.reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // Every class, Features and Properties included, has its class object.
    for (const ComClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(*c.classId, IID_IClassFactory, factory.put_void()), S_OK);
        EXPECT_EQ(CanUnloadNow(), S_FALSE);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        ComPtr<IClassFactory> again;
        ASSERT_EQ(getClassObject(*c.classId, IID_IClassFactory, again.put_void()), S_OK);
        EXPECT_EQ(again.get(), factory.get());  // kept in the class table
        factory.reset();
        again.reset();
        EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the server lock still holds
        ASSERT_EQ(getClassObject(*c.classId, IID_IClassFactory, factory.put_void()), S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
        factory.reset();
        EXPECT_EQ(CanUnloadNow(), S_OK);
    }
}
