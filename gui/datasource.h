#pragma once
// Data sources a list-like gadget can be bound to (TGadget::SetDataSource). Each item
// of the bound gadget stands for one key text of the source, in the source's order.

#include <list>
#include <string>
#include <vector>

#include "runtime/object.h"

namespace gui {

// Keys used as they are.
class TStringArray : public rt::TObject {
public:
    std::vector<std::string> strings;
};

// Keys are the string forms of the non-null elements (KeyTextOf).
class TObjectList : public rt::TObject {
public:
    std::list<rt::TObjectPtr> objects;
};

class TObjectArray : public rt::TObject {
public:
    std::vector<rt::TObjectPtr> objects;
};

// An element that gives its own string form.
class TNamedObject : public rt::TObject {
public:
    virtual std::string ToString() const = 0;
};

// The string form of an object: a TTextObject's text, a TNamedObject's ToString, and
// for any other object its address in hexadecimal (the same object, the same key).
std::string KeyTextOf(const rt::TObject& object);

}  // namespace gui
