#pragma once
// An automation object held by a script value: members through IDispatch (late binding), items
// through IEnumVARIANT.
#include "engine/eval/object_members.h"

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace vexil {

class ComObject final : public ObjectBody {
public:
    // Takes references of its own; with an enumerator the object is a For...In cursor.
    explicit ComObject(IUnknown* unknown, IEnumVARIANT* enumerator = nullptr);
    ~ComObject() override;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    IUnknown* unknown() const { return unknown_; }
    // The object's IDispatch (no reference taken), or nullptr.
    IDispatch* dispatch();

    MemberOutcome member(BuiltinContext& context, std::wstring_view name, MemberUse use, BuiltinArgs args,
                         Variant& result) override;
    MemberOutcome items(BuiltinContext& context, Variant& cursor) override;
    bool nextItem(Variant& item) override;

private:
    IUnknown* unknown_;
    IDispatch* dispatch_ = nullptr;
    bool dispatchAsked_ = false;
    IEnumVARIANT* enumerator_ = nullptr; // when this object is an enumeration's cursor
    // The dispatch ids of the names used last: an object's ids never change while it lives, and a
    // loop reads the same few members over and over.
    struct KnownId {
        std::wstring name;
        DISPID id;
    };
    static constexpr size_t kKnownIds = 4;
    KnownId known_[kKnownIds];
    size_t nextKnown_ = 0;
    HRESULT idOf(std::wstring_view name, DISPID& id);
};

} // namespace vexil
