#pragma once
// The root of the shared object types that travel between threads and containers.

#include <memory>
#include <string>

namespace rt {

class TObject {
public:
    virtual ~TObject() = default;
};

using TObjectPtr = std::shared_ptr<TObject>;

// A text boxed as an object, for thread data and results.
class TTextObject : public TObject {
public:
    explicit TTextObject(std::string value) : text(std::move(value)) {}
    std::string text;
};

}  // namespace rt
