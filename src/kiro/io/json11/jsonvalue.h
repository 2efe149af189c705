// The concrete value classes behind json11w::Json: one class per payload over a common template.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "kiro/io/arena.h"
#include "kiro/io/json11/json11w.h"

namespace json11w {

// Integers from 0 up to this are shared values: tables are full of coordinates, counts and
// indexes, and a shared value spares an allocation for each.
constexpr int SharedInts = 1024;

// The shared constants, for a document's values to refer to without counting.
const JsonValue* sharedNull();
const JsonValue* sharedBool(bool value);
const JsonValue* sharedInt(int value);  // 0 <= value < SharedInts

struct NullStruct {
    bool operator==(NullStruct) const { return true; }
    bool operator<(NullStruct) const { return false; }
};

// Append the JSON text of one payload.
void dumpValue(NullStruct, std::wstring& out);
void dumpValue(int value, std::wstring& out);
void dumpValue(double value, std::wstring& out);
void dumpValue(bool value, std::wstring& out);
void dumpValue(std::wstring_view value, std::wstring& out);
void dumpValue(const Json::array& values, std::wstring& out);
void dumpValue(const Json::object& values, std::wstring& out);

template <Json::Type tag, typename T>
class Value : public JsonValue {
public:
    // Whether the destructor has memory to give back.
    static constexpr bool OwnsMemory = !std::is_trivially_destructible_v<T>;
    explicit Value(const T& value) : m_value(value) {}
    explicit Value(T&& value) : m_value(std::move(value)) {}

    Json::Type type() const override { return tag; }
    // Only called with another value of the same type number.
    bool equals(const JsonValue* other) const override {
        return m_value == static_cast<const Value<tag, T>*>(other)->m_value;
    }
    bool less(const JsonValue* other) const override {
        return m_value < static_cast<const Value<tag, T>*>(other)->m_value;
    }
    void dump(std::wstring& out) const override { dumpValue(m_value, out); }

protected:
    const T m_value;
};

class JsonNull final : public Value<Json::NUL, NullStruct> {
public:
    JsonNull() : Value({}) {}
};

class JsonInt final : public Value<Json::NUMBER, int> {
public:
    explicit JsonInt(int value) : Value(value) {}
    double number_value() const override { return m_value; }
    int int_value() const override { return m_value; }
    bool equals(const JsonValue* other) const override { return m_value == other->number_value(); }
    bool less(const JsonValue* other) const override { return m_value < other->number_value(); }
};

class JsonDouble final : public Value<Json::NUMBER, double> {
public:
    explicit JsonDouble(double value) : Value(value) {}
    double number_value() const override { return m_value; }
    int int_value() const override;
    bool equals(const JsonValue* other) const override { return m_value == other->number_value(); }
    bool less(const JsonValue* other) const override { return m_value < other->number_value(); }
};

class JsonBoolean final : public Value<Json::BOOL, bool> {
public:
    explicit JsonBoolean(bool value) : Value(value) {}
    bool bool_value() const override { return m_value; }
};

// Strings and arrays compare by their contents, whichever class holds them.
class JsonString final : public Value<Json::STRING, std::wstring> {
public:
    explicit JsonString(const std::wstring& value) : Value(value) {}
    explicit JsonString(std::wstring&& value) : Value(std::move(value)) {}
    const std::wstring& string_value() const override { return m_value; }
    bool equals(const JsonValue* other) const override { return m_value == other->string_value(); }
    bool less(const JsonValue* other) const override { return m_value < other->string_value(); }
};

class JsonArray final : public Value<Json::ARRAY, Json::array> {
public:
    explicit JsonArray(const Json::array& value) : Value(value) {}
    explicit JsonArray(Json::array&& value) : Value(std::move(value)) {}
    const Json::array& array_items() const override { return m_value; }
    const Json& operator[](size_t index) const override;
    bool equals(const JsonValue* other) const override { return m_value == other->array_items(); }
    bool less(const JsonValue* other) const override { return m_value < other->array_items(); }
};

// Objects compare by their members, whichever class holds them.
class JsonObject final : public Value<Json::OBJECT, Json::object> {
public:
    explicit JsonObject(const Json::object& value) : Value(value) {}
    explicit JsonObject(Json::object&& value) : Value(std::move(value)) {}
    const Json::object& object_items() const override { return m_value; }
    const Json& operator[](std::wstring_view key) const override;
    bool equals(const JsonValue* other) const override { return m_value == other->object_items(); }
    bool less(const JsonValue* other) const override { return m_value < other->object_items(); }
};

// The memory of one parsed document: every value, key, string and list of it, one reference
// count for all of it. The values refer to one another without counting (Json::borrow), so
// none of them needs its destructor run: the arena's chunks go back whole. A Json handed out
// of the document counts a reference to the document itself. What values build on first
// request (a std::wstring, an item vector, a member map) is kept on a list and freed with it.
class DocumentArena : public std::enable_shared_from_this<DocumentArena> {
public:
    DocumentArena() = default;
    DocumentArena(const DocumentArena&) = delete;
    DocumentArena& operator=(const DocumentArena&) = delete;
    ~DocumentArena();

    kiro::io::Arena memory;

    // A value made in the arena, belonging to this document.
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        static_assert(!T::OwnsMemory, "a document's values are never destroyed one by one");
        T* value = new (memory.allocateArray<T>(1)) T(std::forward<Args>(args)...);
        value->m_document = this;
        return value;
    }

    // A counting pointer to a value of this document.
    std::shared_ptr<JsonValue> share(JsonValue* value) { return std::shared_ptr<JsonValue>(shared_from_this(), value); }

    // Something a value built on request; the document deletes it when it goes.
    struct Built {
        virtual ~Built() = default;
        Built* next = nullptr;
    };
    template <typename T>
    struct BuiltAs final : Built {
        explicit BuiltAs(T&& made) : value(std::move(made)) {}
        T value;
    };
    // Safe from any thread.
    void keep(Built* built);

private:
    std::atomic<Built*> built_{nullptr};
};

// A value a parsed one builds from its arena form the first time it is asked for: built once
// for all threads (when two race, the first one stored wins), then kept by the document.
template <typename T>
class BuiltOnce {
public:
    template <typename Build>
    const T& get(DocumentArena* document, Build build) const {
        const T* made = m_made.load(std::memory_order_acquire);
        if (made != nullptr) return *made;
        auto* built = new DocumentArena::BuiltAs<T>(build());
        if (m_made.compare_exchange_strong(made, &built->value, std::memory_order_acq_rel)) {
            document->keep(built);
            return built->value;
        }
        delete built;
        return *made;
    }

private:
    mutable std::atomic<const T*> m_made{nullptr};
};

// A string as the parser makes it: its characters in the arena; the std::wstring that
// string_value() hands out is built on first request.
class JsonParsedString final : public JsonValue {
public:
    static constexpr bool OwnsMemory = false;
    explicit JsonParsedString(std::wstring_view text) : m_text(text) {}

    Json::Type type() const override { return Json::STRING; }
    bool equals(const JsonValue* other) const override { return m_text == other->string_value(); }
    bool less(const JsonValue* other) const override { return m_text < other->string_value(); }
    void dump(std::wstring& out) const override { dumpValue(m_text, out); }
    const std::wstring& string_value() const override;

private:
    std::wstring_view m_text;
    BuiltOnce<std::wstring> m_string;
};

// A string the parser read from UTF-8 without escapes, kept as its bytes where they take less
// room than wide characters (with four-byte wide characters a quarter for ASCII, three
// quarters for Japanese); the wide string is built on first request, as for any parsed string.
class JsonParsedUtf8String final : public JsonValue {
public:
    static constexpr bool OwnsMemory = false;
    explicit JsonParsedUtf8String(std::string_view bytes) : m_bytes(bytes) {}

    Json::Type type() const override { return Json::STRING; }
    // Comparing or writing out decodes a copy for the moment, keeping nothing.
    bool equals(const JsonValue* other) const override { return wide() == other->string_value(); }
    bool less(const JsonValue* other) const override { return wide() < other->string_value(); }
    void dump(std::wstring& out) const override { dumpValue(std::wstring_view(wide()), out); }
    const std::wstring& string_value() const override;

private:
    std::wstring wide() const;

    std::string_view m_bytes;  // well-formed UTF-8
    BuiltOnce<std::wstring> m_string;
};

// An array as the parser makes it: one run of items in the arena; the vector that
// array_items() hands out is built on first request.
class JsonParsedArray final : public JsonValue {
public:
    static constexpr bool OwnsMemory = false;
    JsonParsedArray(const Json* items, size_t count) : m_items(items), m_count(count) {}

    Json::Type type() const override { return Json::ARRAY; }
    bool equals(const JsonValue* other) const override;
    bool less(const JsonValue* other) const override;
    void dump(std::wstring& out) const override;
    const Json& operator[](size_t index) const override;
    const Json::array& array_items() const override;

private:
    const Json* m_items;
    size_t m_count;
    BuiltOnce<Json::array> m_vector;
};

// An object as the parser makes it: its members in one run sorted by key, each key once, all
// in the document's arena, so reading a table costs no allocation per member. Lookups search
// the run; the ordered map that object_items() hands out is built on first request.
class JsonParsedObject final : public JsonValue {
public:
    static constexpr bool OwnsMemory = false;

    struct Member {
        std::wstring_view key;
        Json value;
    };

    // Takes a run of constructed members that the arena holds.
    JsonParsedObject(const Member* members, size_t count) : m_members(members), m_count(count) {}

    Json::Type type() const override { return Json::OBJECT; }
    bool equals(const JsonValue* other) const override { return object_items() == other->object_items(); }
    bool less(const JsonValue* other) const override { return object_items() < other->object_items(); }
    void dump(std::wstring& out) const override;
    const Json& operator[](std::wstring_view key) const override;
    const Json::object& object_items() const override;

private:
    const Member* m_members;
    size_t m_count;
    BuiltOnce<Json::object> m_map;
};

}  // namespace json11w
