// Immutable JSON values with wide strings, and the parser that reads them from wide text.
// Lookups of missing keys, wrong types and out-of-range indexes yield shared neutral values.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace json11w {

class JsonValue;
class DocumentArena;
class JsonParsedArray;
class JsonParsedObject;
template <typename Unit>
class JsonParser;

class Json final {
public:
    // Type numbers: null 0, number 1, boolean 2, string 3, array 4, object 5.
    enum Type { NUL = 0, NUMBER = 1, BOOL = 2, STRING = 3, ARRAY = 4, OBJECT = 5 };

    // Plain comparison of the code units, inline (the parser compares keys a lot); it also
    // takes views and pointers, so lookups need no temporary string.
    struct KeyLess {
        using is_transparent = void;
        bool operator()(std::wstring_view a, std::wstring_view b) const noexcept {
            const size_t n = a.size() < b.size() ? a.size() : b.size();
            for (size_t k = 0; k < n; ++k) {
                if (a[k] != b[k]) return static_cast<unsigned long>(a[k]) < static_cast<unsigned long>(b[k]);
            }
            return a.size() < b.size();
        }
    };

    using array = std::vector<Json>;
    using object = std::map<std::wstring, Json, KeyLess>;

    // A copy shares the value. Inside a parsed document values refer to each other without
    // counting; a copy taken from there counts a reference to the whole document, which lives
    // as long as any value of it is held.
    Json(const Json& other) : m_ptr(other.shared()) {}
    Json& operator=(const Json& other) {
        m_ptr = other.shared();
        return *this;
    }
    Json(Json&&) noexcept = default;
    Json& operator=(Json&&) noexcept = default;
    ~Json() = default;

    // The shared null; never allocates.
    Json() noexcept;
    Json(std::nullptr_t) noexcept;
    Json(double value);
    Json(int value);
    Json(bool value);
    Json(const std::wstring& value);
    Json(std::wstring&& value);
    Json(const wchar_t* value);
    Json(const array& values);
    Json(array&& values);
    Json(const object& values);
    Json(object&& values);
    // A pointer would otherwise turn into a bool.
    Json(const void*) = delete;

    Type type() const;
    bool is_null() const { return type() == NUL; }
    bool is_number() const { return type() == NUMBER; }
    bool is_bool() const { return type() == BOOL; }
    bool is_string() const { return type() == STRING; }
    bool is_array() const { return type() == ARRAY; }
    bool is_object() const { return type() == OBJECT; }

    // Neutral values for other types: 0.0, 0, false, "", [], {}.
    double number_value() const;
    // A double is truncated toward zero and clamped to the int range; NaN gives 0.
    int int_value() const;
    bool bool_value() const;
    const std::wstring& string_value() const;
    const array& array_items() const;
    const object& object_items() const;

    // The element, or the shared null when absent or not an array/object.
    const Json& operator[](size_t index) const;
    const Json& operator[](std::wstring_view key) const;

    // Compact JSON text; non-finite numbers are written as null.
    void dump(std::wstring& out) const;
    std::wstring dump() const;

    // On failure returns null and sets err to the first error found; err is cleared on success.
    static Json parse(const std::wstring& in, std::wstring& err);

    bool operator==(const Json& other) const;
    bool operator<(const Json& other) const;
    bool operator!=(const Json& other) const { return !(*this == other); }
    bool operator<=(const Json& other) const { return !(other < *this); }
    bool operator>(const Json& other) const { return other < *this; }
    bool operator>=(const Json& other) const { return !(*this < other); }

    // The most nested value the parser accepts: depth 0 is the top level.
    static constexpr int MaxDepth = 200;

private:
    explicit Json(std::shared_ptr<JsonValue> value) noexcept : m_ptr(std::move(value)) {}
    // A reference that counts nothing, for values of a document to hold one another by.
    static Json borrow(const JsonValue* value);
    // The pointer a copy gets: counting, unless the value lives for ever.
    std::shared_ptr<JsonValue> shared() const;
    friend struct Statics;
    friend class JsonParsedArray;
    friend class JsonParsedObject;
    template <typename Unit>
    friend class JsonParser;
    std::shared_ptr<JsonValue> m_ptr;
};

// The abstract value behind a Json; the concrete classes are in jsonvalue.h.
class JsonValue {
public:
    virtual Json::Type type() const = 0;
    virtual bool equals(const JsonValue* other) const = 0;
    virtual bool less(const JsonValue* other) const = 0;
    virtual void dump(std::wstring& out) const = 0;
    virtual double number_value() const;
    virtual int int_value() const;
    virtual bool bool_value() const;
    virtual const std::wstring& string_value() const;
    virtual const Json::array& array_items() const;
    virtual const Json& operator[](std::wstring_view key) const;
    virtual const Json& operator[](size_t index) const;
    virtual const Json::object& object_items() const;
    virtual ~JsonValue() = default;

protected:
    DocumentArena* document() const { return m_document; }

private:
    friend class Json;
    friend class DocumentArena;
    // The parsed document the value belongs to; null for a value made in code.
    DocumentArena* m_document = nullptr;
};

}  // namespace json11w
