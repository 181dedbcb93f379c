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

// The name of a type (MEMBERID_NIL) or member, and its help string.
std::wstring Documentation(ITypeInfo* info, MEMBERID member, std::wstring* help = nullptr) {
    BstrOwner name, doc;
    info->GetDocumentation(member, name.put(), doc.put(), nullptr, nullptr);
    if (help) *help = doc.get() ? doc.get() : L"";
    return name.get() ? name.get() : L"";
}

// "BSTR", "long*", "IFeature**", ...
std::wstring TypeName(ITypeInfo* info, const TYPEDESC& type) {
    if (type.vt == VT_PTR) return TypeName(info, *type.lptdesc) + L"*";
    if (type.vt == VT_USERDEFINED) {
        ComPtr<ITypeInfo> referenced;
        info->GetRefTypeInfo(type.hreftype, referenced.put());
        return referenced ? Documentation(referenced.get(), MEMBERID_NIL) : L"?";
    }
    const struct {
        VARTYPE vt;
        const wchar_t* name;
    } kNames[] = {{VT_BSTR, L"BSTR"}, {VT_I4, L"long"}, {VT_VARIANT, L"VARIANT"}, {VT_UNKNOWN, L"IUnknown*"}};
    for (const auto& n : kNames)
        if (n.vt == type.vt) return n.name;
    return L"vt" + std::to_wstring(type.vt);
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

// The members of a collection interface whose items are `item`.
std::vector<std::wstring> CollectionMembers(const wchar_t* item) {
    return {L"7 1610743808 get Count(out retval long* pVal) "
            L"\"Liefert die Anzahl der Eintr\u00e4ge in der Aufz\u00e4hlung.\"",
            std::wstring(L"8 0 get Item(in VARIANT Index, out retval ") + item +
                L"** pVal) \"Liefert zu dem angegebenen Index den entsprechenden Eintrag in der Aufz\u00e4hlung "
                L"(oder Nothing/NULL).\"",
            L"9 -4 get _NewEnum(out retval IUnknown** pVal) restricted "
            L"\"Unterst\u00fctzt VB-'For Each oEintrag In oAufz\u00e4hlung'.\""};
}

}  // namespace

TEST(ComTypeLibrary, MatchesTheClassesInterfacesAndMembers) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLib(L"Quillon.dll", library.put()), S_OK);  // found beside the test
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

    // Each class "X" ("X Class") is followed by its dual interface "IX"
    // ("IX Interface"), its one default interface.
    const struct {
        std::wstring name;
        const CLSID* classId;
        const IID* iid;
        std::vector<std::wstring> members;
    } classes[] = {
        {L"CQuillonConfig", &CLSID_CQuillonConfig, &IID_ICQuillonConfig,
         {L"7 1 method Parse(BSTR psSetupConfigFile) \"method Parse\"",
          L"8 2 put AppName(in BSTR value) \"property AppName\"",
          L"9 3 method SetProp(in BSTR sPropName, in BSTR sStringVal, in long lNumVal) \"method SetProp\"",
          L"10 4 put AppVersion(in BSTR value) \"property AppVersion\"",
          L"11 5 method GetComponentName(in long ModuleID, in long Module, out retval BSTR* pVal) "
          L"\"method GetComponentName\"",
          L"12 6 put Mode(in BSTR value) \"property Mode\""}},
        {L"Property", &CLSID_Property, &IID_IProperty, {}},
        {L"Feature", &CLSID_Feature, &IID_IFeature, {}},
        {L"Features", &CLSID_Features, &IID_IFeatures, CollectionMembers(L"IFeature")},
        {L"Properties", &CLSID_Properties, &IID_IProperties, CollectionMembers(L"IProperty")},
    };
    ASSERT_EQ(library->GetTypeInfoCount(), 10u);
    UINT index = 0;
    for (const auto& c : classes) {
        SCOPED_TRACE(testing::Message() << c.name);
        for (TYPEKIND kind : {TKIND_COCLASS, TKIND_DISPATCH}) {
            const bool isClass = kind == TKIND_COCLASS;
            const std::wstring typeName = isClass ? c.name : L"I" + c.name;
            ComPtr<ITypeInfo> info;
            ASSERT_EQ(library->GetTypeInfo(index++, info.put()), S_OK);
            std::wstring typeHelp;
            EXPECT_EQ(Documentation(info.get(), MEMBERID_NIL, &typeHelp), typeName);
            EXPECT_EQ(typeHelp, typeName + (isClass ? L" Class" : L" Interface"));
            TYPEATTR* type = nullptr;
            ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
            EXPECT_EQ(type->typekind, kind);
            EXPECT_TRUE(IsEqualGUID(type->guid, isClass ? *c.classId : *c.iid));
            EXPECT_TRUE(type->wTypeFlags & (isClass ? TYPEFLAG_FCANCREATE : TYPEFLAG_FDUAL));
            info->ReleaseTypeAttr(type);

            // A class's one default interface; an interface's vtable view,
            // whose members follow the seven slots of IUnknown and IDispatch.
            HREFTYPE reference = 0;
            ComPtr<ITypeInfo> referenced;
            ASSERT_EQ(info->GetRefTypeOfImplType(isClass ? 0 : -1, &reference), S_OK);
            ASSERT_EQ(info->GetRefTypeInfo(reference, referenced.put()), S_OK);
            if (isClass) {
                INT implementation = 0;
                EXPECT_EQ(info->GetImplTypeFlags(0, &implementation), S_OK);
                EXPECT_EQ(implementation, IMPLTYPEFLAG_FDEFAULT);
                EXPECT_NE(info->GetImplTypeFlags(1, &implementation), S_OK);
                EXPECT_EQ(Documentation(referenced.get(), MEMBERID_NIL), L"I" + c.name);
                continue;
            }
            ASSERT_EQ(referenced->GetTypeAttr(&type), S_OK);
            std::vector<std::wstring> actual;
            for (UINT f = 0; f < type->cFuncs; ++f) actual.push_back(Describe(referenced.get(), f));
            referenced->ReleaseTypeAttr(type);
            EXPECT_EQ(actual, c.members);
        }
    }
}
