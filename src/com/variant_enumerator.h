// VariantEnumerator: the IEnumVARIANT that a collection's _NewEnum hands out
// (what "For Each" walks). It enumerates a snapshot of VARIANTs taken when
// it was made; clones share the snapshot and start at the same position.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <vector>

namespace quillon::com {

// VARIANTs that clear themselves.
class VariantArray {
public:
    VariantArray() = default;
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;
    ~VariantArray();
    void Reserve(size_t count) { items_.reserve(count); }
    // Takes over `value`, which the caller no longer clears; call Reserve
    // first, so that taking it over cannot fail.
    void Adopt(const VARIANT& value);
    const std::vector<VARIANT>& Items() const { return items_; }

private:
    std::vector<VARIANT> items_;
};

class VariantEnumerator final : public IEnumVARIANT {
public:
    // A new enumerator over `snapshot` at `position`, asked for IUnknown;
    // E_OUTOFMEMORY when it cannot be made.
    static HRESULT Create(std::shared_ptr<const VariantArray> snapshot, size_t position, IUnknown** enumerator);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** clone) override;

private:
    VariantEnumerator(std::shared_ptr<const VariantArray> snapshot, size_t position);
    ~VariantEnumerator();
    size_t Left() const { return snapshot_->Items().size() - position_; }

    std::shared_ptr<const VariantArray> snapshot_;
    size_t position_;
    ULONG references_ = 0;
};

}  // namespace quillon::com
