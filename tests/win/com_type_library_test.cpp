// The type library embedded in the built Quillon.dll, read back with
// LoadTypeLib and compared with what scripts and clients rely on: the
// library's identity, the order of its ten types, each class's default
// interface, and each interface member's slot, DISPID, kind, flags,
// parameters and help string (the German ones stored as Windows-1252).
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/quillon_h.h"
#include "platform/win32/com_owners.h"

using quillon::win32::BstrOwner;
using quillon::win32::ComPtr;

namespace {

std::wstring DllPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"Quillon.dll";
}

std::wstring Documentation(ITypeInfo* info, MEMBERID member, std::wstring* help = nullptr) {
    BstrOwner name, doc;
    info->GetDocumentation(member, name.put(), doc.put(), nullptr, nullptr);
    if (help) *help = doc.get() ? doc.get() : L"";
    return name.get() ? name.get() : L"";
}

// "BSTR", "long*", "IFeature**", ...
std::wstring TypeName(ITypeInfo* info, const TYPEDESC& type) {
    switch (type.vt) {
    case VT_PTR:
        return TypeName(info, *type.lptdesc) + L"*";
    case VT_BSTR:
        return L"BSTR";
    case VT_I4:
        return L"long";
    case VT_VARIANT:
        return L"VARIANT";
    case VT_UNKNOWN:
        return L"IUnknown*";
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> referenced;
        info->GetRefTypeInfo(type.hreftype, referenced.put());
        return referenced ? Documentation(referenced.get(), MEMBERID_NIL) : L"?";
    }
    default:
        return L"vt" + std::to_wstring(type.vt);
    }
}

// One member as "slot id kind name(flags type name, ...) restricted? help".
std::wstring Describe(ITypeInfo* info, UINT index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function))) return L"?";
    BSTR names[8] = {};
    UINT count = 0;
    info->GetNames(function->memid, names, 8, &count);
    std::wstring help;
    Documentation(info, function->memid, &help);
    const wchar_t* kinds[] = {L"?", L"method", L"get", L"?", L"put"};
    std::wstring text = std::to_wstring(function->oVft / sizeof(void*)) + L" " + std::to_wstring(function->memid) +
                        L" " + kinds[function->invkind < 5 ? function->invkind : 0] + L" " + names[0] + L"(";
    for (SHORT p = 0; p < function->cParams; ++p) {
        const ELEMDESC& parameter = function->lprgelemdescParam[p];
        USHORT flags = parameter.paramdesc.wParamFlags;
        if (p > 0) text += L", ";
        if (flags & PARAMFLAG_FIN) text += L"in ";
        if (flags & PARAMFLAG_FOUT) text += L"out ";
        if (flags & PARAMFLAG_FRETVAL) text += L"retval ";
        // A property put's value has no name of its own in the names list.
        std::wstring name = static_cast<UINT>(p + 1) < count ? names[p + 1] : L"value";
        text += TypeName(info, parameter.tdesc) + L" " + name;
    }
    text += L")";
    if (function->wFuncFlags & FUNCFLAG_FRESTRICTED) text += L" restricted";
    text += L" \"" + help + L"\"";
    for (BSTR name : names) SysFreeString(name);
    info->ReleaseFuncDesc(function);
    return text;
}

struct TypeEntry {
    const wchar_t* name;
    TYPEKIND kind;
    const GUID* guid;
    const wchar_t* help;
};

const wchar_t* const kCount = L"7 1610743808 get Count(out retval long* pVal) "
                              L"\"Liefert die Anzahl der Eintr\u00e4ge in der Aufz\u00e4hlung.\"";
const wchar_t* const kNewEnum = L"9 -4 get _NewEnum(out retval IUnknown** pVal) restricted "
                                L"\"Unterst\u00fctzt VB-'For Each oEintrag In oAufz\u00e4hlung'.\"";
std::wstring ItemOf(const wchar_t* item) {
    return std::wstring(L"8 0 get Item(in VARIANT Index, out retval ") + item +
           L"** pVal) \"Liefert zu dem angegebenen Index den entsprechenden Eintrag in der Aufz\u00e4hlung (oder "
           L"Nothing/NULL).\"";
}

}  // namespace

TEST(ComTypeLibrary, MatchesTheClassesInterfacesAndMembers) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLib(DllPath().c_str(), library.put()), S_OK);

    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_QUILLONLib));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x409u);
    library->ReleaseTLibAttr(attributes);
    BstrOwner name, help;
    library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr);
    EXPECT_STREQ(name.get(), L"QUILLONLib");
    EXPECT_STREQ(help.get(), L"Quillon 1.0 Type Library");

    const TypeEntry types[] = {
        {L"CQuillonConfig", TKIND_COCLASS, &CLSID_CQuillonConfig, L"CQuillonConfig Class"},
        {L"ICQuillonConfig", TKIND_DISPATCH, &IID_ICQuillonConfig, L"ICQuillonConfig Interface"},
        {L"Property", TKIND_COCLASS, &CLSID_Property, L"Property Class"},
        {L"IProperty", TKIND_DISPATCH, &IID_IProperty, L"IProperty Interface"},
        {L"Feature", TKIND_COCLASS, &CLSID_Feature, L"Feature Class"},
        {L"IFeature", TKIND_DISPATCH, &IID_IFeature, L"IFeature Interface"},
        {L"Features", TKIND_COCLASS, &CLSID_Features, L"Features Class"},
        {L"IFeatures", TKIND_DISPATCH, &IID_IFeatures, L"IFeatures Interface"},
        {L"Properties", TKIND_COCLASS, &CLSID_Properties, L"Properties Class"},
        {L"IProperties", TKIND_DISPATCH, &IID_IProperties, L"IProperties Interface"},
    };
    const std::vector<std::wstring> members[] = {
        {},
        {L"7 1 method Parse(BSTR psSetupConfigFile) \"method Parse\"",
         L"8 2 put AppName(in BSTR value) \"property AppName\"",
         L"9 3 method SetProp(in BSTR sPropName, in BSTR sStringVal, in long lNumVal) \"method SetProp\"",
         L"10 4 put AppVersion(in BSTR value) \"property AppVersion\"",
         L"11 5 method GetComponentName(in long ModuleID, in long Module, out retval BSTR* pVal) "
         L"\"method GetComponentName\"",
         L"12 6 put Mode(in BSTR value) \"property Mode\""},
        {}, {}, {}, {}, {},
        {kCount, ItemOf(L"IFeature"), kNewEnum},
        {},
        {kCount, ItemOf(L"IProperty"), kNewEnum},
    };
    ASSERT_EQ(library->GetTypeInfoCount(), 10u);
    for (UINT i = 0; i < 10; ++i) {
        const TypeEntry& expected = types[i];
        SCOPED_TRACE(testing::Message() << "type " << i);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfo(i, info.put()), S_OK);
        std::wstring typeHelp;
        EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, &typeHelp), expected.name);
        EXPECT_EQ(typeHelp, expected.help);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->typekind, expected.kind);
        EXPECT_TRUE(IsEqualGUID(type->guid, *expected.guid));
        const WORD flags = type->wTypeFlags;
        info->ReleaseTypeAttr(type);

        if (expected.kind == TKIND_COCLASS) {
            // Creatable, with the interface that follows it as its one default.
            EXPECT_TRUE(flags & TYPEFLAG_FCANCREATE);
            INT implementation = 0;
            EXPECT_EQ(info->GetImplTypeFlags(0, &implementation), S_OK);
            EXPECT_EQ(implementation, IMPLTYPEFLAG_FDEFAULT);
            EXPECT_NE(info->GetImplTypeFlags(1, &implementation), S_OK);
            HREFTYPE reference = 0;
            ComPtr<ITypeInfo> interfaceInfo;
            ASSERT_EQ(info->GetRefTypeOfImplType(0, &reference), S_OK);
            ASSERT_EQ(info->GetRefTypeInfo(reference, interfaceInfo.put()), S_OK);
            EXPECT_EQ(Documentation(interfaceInfo.get(), MEMBERID_NIL), types[i + 1].name);
            continue;
        }
        // A dual interface: its vtable view holds the members after the
        // seven slots of IUnknown and IDispatch.
        EXPECT_TRUE(flags & TYPEFLAG_FDUAL);
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> vtable;
        ASSERT_EQ(info->GetRefTypeOfImplType(-1, &reference), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(reference, vtable.put()), S_OK);
        ASSERT_EQ(vtable->GetTypeAttr(&type), S_OK);
        std::vector<std::wstring> actual;
        for (UINT f = 0; f < type->cFuncs; ++f) actual.push_back(Describe(vtable.get(), f));
        vtable->ReleaseTypeAttr(type);
        EXPECT_EQ(actual, members[i]);
    }
}
