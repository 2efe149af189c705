// The wide JSON values: shared neutral constants, lookups, comparison and output.
#include "kiro/io/json11/json11w.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "kiro/io/json11/jsonvalue.h"
#include "kiro/io/utf8.h"

namespace json11w {

// Created once, thread-safely, and never destroyed, so references handed out stay valid
// even while other static objects are torn down at exit.
struct Statics {
    const std::shared_ptr<JsonValue> null = std::make_shared<JsonNull>();
    const std::shared_ptr<JsonValue> t = std::make_shared<JsonBoolean>(true);
    const std::shared_ptr<JsonValue> f = std::make_shared<JsonBoolean>(false);
    const std::wstring empty_string{};
    const Json::array empty_array{};
    const Json::object empty_object{};
    const Json null_json{null};
    std::shared_ptr<JsonValue> small_ints[SharedInts];

    Statics() {
        for (int k = 0; k < SharedInts; ++k) small_ints[k] = std::make_shared<JsonInt>(k);
    }
};

static const Statics& statics() {
    static const Statics* s = new Statics();
    return *s;
}

const JsonValue* sharedNull() { return statics().null.get(); }
const JsonValue* sharedBool(bool value) { return (value ? statics().t : statics().f).get(); }
const JsonValue* sharedInt(int value) { return statics().small_ints[value].get(); }

// ---- values --------------------------------------------------------------------------

double JsonValue::number_value() const { return 0.0; }
int JsonValue::int_value() const { return 0; }
bool JsonValue::bool_value() const { return false; }
const std::wstring& JsonValue::string_value() const { return statics().empty_string; }
const Json::array& JsonValue::array_items() const { return statics().empty_array; }
const Json::object& JsonValue::object_items() const { return statics().empty_object; }
const Json& JsonValue::operator[](std::wstring_view) const { return statics().null_json; }
const Json& JsonValue::operator[](size_t) const { return statics().null_json; }

int JsonDouble::int_value() const {
    // A plain cast of a value outside the int range is undefined; clamp instead.
    if (std::isnan(m_value)) return 0;
    if (m_value >= 2147483647.0) return std::numeric_limits<int>::max();
    if (m_value <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(m_value);
}

const Json& JsonArray::operator[](size_t index) const {
    return index < m_value.size() ? m_value[index] : statics().null_json;
}

const Json& JsonObject::operator[](std::wstring_view key) const {
    auto it = m_value.find(key);
    return it == m_value.end() ? statics().null_json : it->second;
}

void DocumentArena::keep(Built* built) {
    built->next = built_.load(std::memory_order_relaxed);
    while (!built_.compare_exchange_weak(built->next, built, std::memory_order_release, std::memory_order_relaxed)) {
    }
}

DocumentArena::~DocumentArena() {
    for (Built* built = built_.load(std::memory_order_acquire); built != nullptr;) {
        Built* next = built->next;
        delete built;
        built = next;
    }
}

Json Json::borrow(const JsonValue* value) {
    return Json(std::shared_ptr<JsonValue>(std::shared_ptr<JsonValue>(), const_cast<JsonValue*>(value)));
}

std::shared_ptr<JsonValue> Json::shared() const {
    // A pointer that counts nothing is either a document's own or one of the shared constants.
    if (m_ptr.use_count() != 0 || m_ptr == nullptr || m_ptr->m_document == nullptr) return m_ptr;
    return m_ptr->m_document->share(m_ptr.get());
}

const std::wstring& JsonParsedString::string_value() const {
    return m_string.get(document(), [this] { return std::wstring(m_text); });
}

std::wstring JsonParsedUtf8String::wide() const {
    std::wstring out(m_bytes.size(), L'\0');
    out.resize(kiro::io::utf8::toWide(m_bytes.data(), m_bytes.size(), out.data()));
    return out;
}

const std::wstring& JsonParsedUtf8String::string_value() const {
    return m_string.get(document(), [this] { return wide(); });
}

const Json& JsonParsedArray::operator[](size_t index) const {
    return index < m_count ? m_items[index] : statics().null_json;
}

const Json::array& JsonParsedArray::array_items() const {
    if (m_count == 0) return statics().empty_array;
    // Borrowed like the items themselves: a counting copy would keep the document alive.
    return m_vector.get(document(), [this] {
        Json::array made;
        made.reserve(m_count);
        for (size_t k = 0; k < m_count; ++k) made.push_back(Json::borrow(m_items[k].m_ptr.get()));
        return made;
    });
}

bool JsonParsedArray::equals(const JsonValue* other) const {
    const Json::array& items = other->array_items();
    return std::equal(m_items, m_items + m_count, items.begin(), items.end());
}

bool JsonParsedArray::less(const JsonValue* other) const {
    const Json::array& items = other->array_items();
    return std::lexicographical_compare(m_items, m_items + m_count, items.begin(), items.end());
}

void JsonParsedArray::dump(std::wstring& out) const {
    out += L'[';
    for (size_t k = 0; k < m_count; ++k) {
        if (k > 0) out += L',';
        m_items[k].dump(out);
    }
    out += L']';
}

const Json& JsonParsedObject::operator[](std::wstring_view key) const {
    const Member* begin = m_members;
    const Member* end = begin + m_count;
    const Member* it = std::lower_bound(begin, end, key, [](const Member& m, std::wstring_view k) {
        return Json::KeyLess()(m.key, k);
    });
    return it != end && it->key == key ? it->value : statics().null_json;
}

const Json::object& JsonParsedObject::object_items() const {
    if (m_count == 0) return statics().empty_object;
    return m_map.get(document(), [this] {
        // The members are already in order, so each insertion lands at the end.
        Json::object made;
        for (size_t k = 0; k < m_count; ++k) made.emplace_hint(made.end(), m_members[k].key, Json::borrow(m_members[k].value.m_ptr.get()));
        return made;
    });
}

void JsonParsedObject::dump(std::wstring& out) const {
    out += L'{';
    for (size_t k = 0; k < m_count; ++k) {
        if (k > 0) out += L',';
        dumpValue(m_members[k].key, out);
        out += L':';
        m_members[k].value.dump(out);
    }
    out += L'}';
}

// ---- Json ----------------------------------------------------------------------------

Json::Json() noexcept : m_ptr(statics().null) {}
Json::Json(std::nullptr_t) noexcept : m_ptr(statics().null) {}
Json::Json(double value) : m_ptr(std::make_shared<JsonDouble>(value)) {}
Json::Json(int value)
    : m_ptr(value >= 0 && value < SharedInts ? statics().small_ints[value]
                                                     : std::make_shared<JsonInt>(value)) {}
Json::Json(bool value) : m_ptr(value ? statics().t : statics().f) {}
Json::Json(const std::wstring& value) : m_ptr(std::make_shared<JsonString>(value)) {}
Json::Json(std::wstring&& value) : m_ptr(std::make_shared<JsonString>(std::move(value))) {}
Json::Json(const wchar_t* value) : m_ptr(std::make_shared<JsonString>(std::wstring(value))) {}
Json::Json(const array& values) : m_ptr(std::make_shared<JsonArray>(values)) {}
Json::Json(array&& values) : m_ptr(std::make_shared<JsonArray>(std::move(values))) {}
Json::Json(const object& values) : m_ptr(std::make_shared<JsonObject>(values)) {}
Json::Json(object&& values) : m_ptr(std::make_shared<JsonObject>(std::move(values))) {}

Json::Type Json::type() const { return m_ptr->type(); }
double Json::number_value() const { return m_ptr->number_value(); }
int Json::int_value() const { return m_ptr->int_value(); }
bool Json::bool_value() const { return m_ptr->bool_value(); }
const std::wstring& Json::string_value() const { return m_ptr->string_value(); }
const Json::array& Json::array_items() const { return m_ptr->array_items(); }
const Json::object& Json::object_items() const { return m_ptr->object_items(); }
const Json& Json::operator[](size_t index) const { return (*m_ptr)[index]; }
const Json& Json::operator[](std::wstring_view key) const { return (*m_ptr)[key]; }

bool Json::operator==(const Json& other) const {
    if (m_ptr == other.m_ptr) return true;
    if (m_ptr->type() != other.m_ptr->type()) return false;
    return m_ptr->equals(other.m_ptr.get());
}

bool Json::operator<(const Json& other) const {
    if (m_ptr == other.m_ptr) return false;
    if (m_ptr->type() != other.m_ptr->type()) return m_ptr->type() < other.m_ptr->type();
    return m_ptr->less(other.m_ptr.get());
}

void Json::dump(std::wstring& out) const { m_ptr->dump(out); }

std::wstring Json::dump() const {
    std::wstring out;
    dump(out);
    return out;
}

// ---- output --------------------------------------------------------------------------

static void appendAscii(std::wstring& out, const char* begin, const char* end) {
    out.append(begin, end);
}

void dumpValue(double value, std::wstring& out) {
    if (!std::isfinite(value)) {
        out += L"null";
        return;
    }
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendAscii(out, buffer, result.ptr);
}

void dumpValue(int value, std::wstring& out) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendAscii(out, buffer, result.ptr);
}

static void appendEscape(std::wstring& out, unsigned unit) {
    static const wchar_t hex[] = L"0123456789abcdef";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += hex[(unit >> shift) & 0xF];
}

constexpr bool wideIsUtf32 = sizeof(wchar_t) == 4;

static bool isHighSurrogate(unsigned c) { return c >= 0xD800 && c <= 0xDBFF; }
static bool isLowSurrogate(unsigned c) { return c >= 0xDC00 && c <= 0xDFFF; }

void dumpValue(std::wstring_view value, std::wstring& out) {
    out += L'"';
    const size_t n = value.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned c = static_cast<unsigned>(value[i]);
        switch (c) {
            case '"': out += L"\\\""; continue;
            case '\\': out += L"\\\\"; continue;
            case '\b': out += L"\\b"; continue;
            case '\f': out += L"\\f"; continue;
            case '\n': out += L"\\n"; continue;
            case '\r': out += L"\\r"; continue;
            case '\t': out += L"\\t"; continue;
            default: break;
        }
        if (c < 0x20) {
            appendEscape(out, c);
        } else if (c > 0x10FFFF) {
            appendEscape(out, 0xFFFD);  // not a character at all
        } else if (!wideIsUtf32 && isHighSurrogate(c) && i + 1 < n &&
                   isLowSurrogate(static_cast<unsigned>(value[i + 1]))) {
            // A UTF-16 pair (wide strings of two-byte units): one character, kept as is.
            out += value[i];
            out += value[++i];
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            // A lone surrogate cannot be written raw in valid text; keep it as an escape.
            appendEscape(out, c);
        } else {
            out += value[i];
        }
    }
    out += L'"';
}

void dumpValue(NullStruct, std::wstring& out) { out += L"null"; }
void dumpValue(bool value, std::wstring& out) { out += value ? L"true" : L"false"; }

void dumpValue(const Json::array& values, std::wstring& out) {
    out += L'[';
    bool first = true;
    for (const Json& item : values) {
        if (!first) out += L',';
        item.dump(out);
        first = false;
    }
    out += L']';
}

void dumpValue(const Json::object& values, std::wstring& out) {
    out += L'{';
    bool first = true;
    for (const auto& [key, item] : values) {
        if (!first) out += L',';
        dumpValue(key, out);
        out += L':';
        item.dump(out);
        first = false;
    }
    out += L'}';
}

}  // namespace json11w
