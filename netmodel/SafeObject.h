#pragma once

namespace vq {

enum ObjectState : int { ObjectNormal = 0, ObjectReadOnly = 1, ObjectGlobal = 2, ObjectConstant = 3 };
enum CopyMode : int {
    InvalidCopyMode = 0,
    ShallowCopy = 1,
    DeepCopy = 2,
    NullCopy = 3,
    PointerAssignment = 4
};
enum UpdateMode : int { InvalidUpdateMode = 0, ShallowUpdate = 1, DeepUpdate = 2 };

// The names the member dumps print; "error" for any value outside the enumeration.
const char* ObjectStateText(int state);
const char* CopyModeText(int mode);
const char* UpdateModeText(int mode);

// Ownership base of the network model's objects. A holder that attaches an object nobody owns becomes
// its owner and later deletes it; global and constant objects are shared by everyone and never owned.
// The owner is only ever compared, never dereferenced, so any holder (table, host, pool, message) can
// name itself.
class SafeObject {
public:
    virtual ~SafeObject() = default;

    int GetObjectState() const { return objectState_; }
    void SetObjectState(int state) { objectState_ = state & 3; }
    bool IsShared() const { return (objectState_ & ObjectGlobal) != 0; }
    bool IsConstructed() const { return constructed_; }

    const void* GetOwner() const { return owner_; }
    void SetOwner(const void* owner) { owner_ = owner; }

    // Makes the holder the owner when the object is neither shared nor owned yet.
    void Adopt(const void* holder);
    bool IsOwnedBy(const void* holder) const { return !IsShared() && holder != nullptr && owner_ == holder; }

protected:
    SafeObject() = default;
    // A copy is a new object: it has no owner and is not shared, whatever the original was.
    SafeObject(const SafeObject&) : SafeObject() {}
    SafeObject& operator=(const SafeObject&) { return *this; }

private:
    int objectState_ = ObjectNormal;
    bool constructed_ = true;
    const void* owner_ = nullptr;
};

// Deletes the object when the holder owns it; shared and foreign objects are left alone.
template <typename T> void ReleaseOwned(T*& object, const void* holder) {
    if (object != nullptr && object->IsOwnedBy(holder)) delete object;
    object = nullptr;
}

} // namespace vq
