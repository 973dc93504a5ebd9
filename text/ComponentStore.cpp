#include "text/ComponentStore.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>
#include <cstring>

#include "text/Properties.h"

namespace ze {
namespace {

constexpr std::string_view kMagic = "ZEC1";

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutI64(std::string& out, int64_t v) {
  auto u = static_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}
void PutBytes(std::string& out, std::string_view b) {
  PutU32(out, static_cast<uint32_t>(b.size()));
  out.append(b);
}

void WriteObject(std::string& out, const TObject& obj);

// The payload of a class-typed property, or false when it is not streamed.
bool WriteClassPayload(std::string& out, TObject* value) {
  if (!value || dynamic_cast<TComponent*>(value)) return false;
  if (auto* list = dynamic_cast<TStrings*>(value)) {
    PutU32(out, static_cast<uint32_t>(list->Count()));
    for (int i = 0; i < list->Count(); ++i) PutBytes(out, list->Get(i).view());
    return true;
  }
  if (auto* coll = dynamic_cast<TCollection*>(value)) {
    PutU32(out, static_cast<uint32_t>(coll->Count()));
    for (int i = 0; i < coll->Count(); ++i) WriteObject(out, *coll->Items(i));
    return true;
  }
  if (dynamic_cast<TPersistent*>(value)) {
    WriteObject(out, *value);
    return true;
  }
  return false;
}

void WriteObject(std::string& out, const TObject& obj) {
  auto* p = dynamic_cast<const TPersistent*>(&obj);
  if (p && p->PublishedProps()) {
    for (const TPropInfo* prop : p->PublishedProps()->All()) {
      std::string payload;
      switch (prop->Kind) {
      case TTypeKind::tkInteger:
      case TTypeKind::tkEnumeration:
      case TTypeKind::tkSet:
        PutI64(payload, prop->GetOrd(obj));
        break;
      case TTypeKind::tkString:
        payload = prop->GetStr(obj).str();
        break;
      case TTypeKind::tkClass:
        if (!WriteClassPayload(payload, prop->GetObject(obj))) continue;
        break;
      case TTypeKind::tkMethod:
        continue;
      }
      PutBytes(out, prop->Name);
      out.push_back(static_cast<char>(prop->Kind));
      PutBytes(out, payload);
    }
  }
  PutU32(out, 0); // empty name closes the object
}

class Reader {
public:
  explicit Reader(std::string_view b) : b_(b) {}
  bool AtEnd() const { return pos_ == b_.size(); }
  uint32_t U32() {
    Need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return v;
  }
  int64_t I64() {
    Need(8);
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(b_[pos_ + i])) << (8 * i);
    pos_ += 8;
    return static_cast<int64_t>(v);
  }
  uint8_t Byte() {
    Need(1);
    return static_cast<uint8_t>(b_[pos_++]);
  }
  std::string_view Bytes() {
    uint32_t n = U32();
    Need(n);
    std::string_view s = b_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  std::string_view Raw(size_t n) {
    Need(n);
    std::string_view s = b_.substr(pos_, n);
    pos_ += n;
    return s;
  }

private:
  void Need(size_t n) const {
    if (b_.size() - pos_ < n) throw EReadError("Stream read error: the stored settings are cut short");
  }
  std::string_view b_;
  size_t pos_ = 0;
};

void ReadObject(Reader& r, TObject& obj);

void ReadClassPayload(std::string_view payload, TObject* value) {
  if (!value || dynamic_cast<TComponent*>(value)) return;
  Reader r(payload);
  if (auto* list = dynamic_cast<TStrings*>(value)) {
    uint32_t n = r.U32();
    UpdateGuard<TStrings> update(*list);
    list->Clear();
    for (uint32_t i = 0; i < n; ++i) list->Add(ByteString(r.Bytes()));
    return;
  }
  if (auto* coll = dynamic_cast<TCollection*>(value)) {
    uint32_t n = r.U32();
    UpdateGuard<TCollection> update(*coll);
    coll->Clear();
    for (uint32_t i = 0; i < n; ++i) ReadObject(r, *coll->Add());
    return;
  }
  ReadObject(r, *value);
}

void ReadObject(Reader& r, TObject& obj) {
  auto* p = dynamic_cast<TPersistent*>(&obj);
  const TPropTable* table = p ? p->PublishedProps() : nullptr;
  for (;;) {
    std::string_view name = r.Bytes();
    if (name.empty()) return;
    auto kind = static_cast<TTypeKind>(r.Byte());
    std::string_view payload = r.Bytes();
    const TPropInfo* prop = table ? table->Find(name) : nullptr;
    if (!prop || prop->Kind != kind) continue; // unknown or changed: skip
    switch (kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet: {
      Reader v(payload);
      prop->SetOrd(obj, v.I64());
      break;
    }
    case TTypeKind::tkString:
      prop->SetStr(obj, ByteString(payload));
      break;
    case TTypeKind::tkClass:
      ReadClassPayload(payload, prop->GetObject(obj));
      break;
    case TTypeKind::tkMethod:
      break;
    }
  }
}

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 15]; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr size_t kBytesPerLine = 32;

} // namespace

std::string WriteComponentBytes(const TComponent& component) {
  std::string out(kMagic);
  WriteObject(out, component);
  return out;
}

void ReadComponentBytes(TComponent& component, std::string_view bytes) {
  Reader r(bytes);
  if (r.Raw(kMagic.size()) != kMagic)
    throw EReadError("Stream read error: the stored settings are not a component stream");
  // A stream can fail half way, in its framing or when a setter rejects a
  // value (a collection that is full, say). Whatever was read by then is
  // put back from this copy, so a failed read changes nothing.
  const std::string before = WriteComponentBytes(component);
  component.SetLoading(true);
  try {
    ReadObject(r, component);
  } catch (const std::exception& e) {
    try {
      Reader back(before);
      back.Raw(kMagic.size());
      ReadObject(back, component);
    } catch (...) {
      // The copy was written from this very object; it reads back.
    }
    component.Loaded();
    if (dynamic_cast<const EReadError*>(&e)) throw;
    throw EReadError(std::string("Stream read error: ") + e.what());
  }
  component.Loaded();
}

void SaveComponentToIni(const TComponent& component, IniFile& file, std::string_view section,
                        std::string_view name) {
  std::string bytes = WriteComponentBytes(component);
  std::string countKey = std::string(name) + "_c";
  int newCount = static_cast<int>((bytes.size() + kBytesPerLine - 1) / kBytesPerLine);
  int oldCount = file.ReadInteger(section, countKey, 0);
  for (int n = oldCount - 1; n >= newCount; --n)
    file.DeleteKey(section, std::string(name) + "_d" + std::to_string(n));
  if (newCount == 0) {
    file.DeleteKey(section, countKey);
    return;
  }
  file.WriteString(section, countKey, std::to_string(newCount));
  for (int n = 0; n < newCount; ++n) {
    std::string line;
    size_t start = static_cast<size_t>(n) * kBytesPerLine;
    size_t end = std::min(bytes.size(), start + kBytesPerLine);
    for (size_t i = start; i < end; ++i) {
      auto b = static_cast<unsigned char>(bytes[i]);
      line.push_back(HexDigit(b >> 4));
      line.push_back(HexDigit(b));
    }
    file.WriteString(section, std::string(name) + "_d" + std::to_string(n), line);
  }
}

void LoadComponentFromIni(TComponent& component, const IniFile& file, std::string_view section,
                          std::string_view name) {
  int count = file.ReadInteger(section, std::string(name) + "_c", 0);
  if (count <= 0) return;
  // A missing line reads as empty, so only the lines that are present
  // matter: walking a count of two thousand million would take minutes.
  const std::string prefix = std::string(name) + "_d";
  std::vector<int> present;
  for (const std::string& key : file.ReadSection(section)) {
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 10) continue;
    bool same = true;
    for (size_t i = 0; i < prefix.size() && same; ++i)
      same = std::toupper(static_cast<unsigned char>(key[i])) ==
             std::toupper(static_cast<unsigned char>(prefix[i]));
    if (!same) continue;
    long long n = 0;
    bool digits = true;
    for (size_t i = prefix.size(); i < key.size() && digits; ++i) {
      digits = key[i] >= '0' && key[i] <= '9';
      n = n * 10 + (key[i] - '0');
    }
    // "_d07" is not the key of line 7, and is read as no line at all.
    if (!digits || n >= count || (key[prefix.size()] == '0' && key.size() > prefix.size() + 1))
      continue;
    present.push_back(static_cast<int>(n));
  }
  std::sort(present.begin(), present.end());
  present.erase(std::unique(present.begin(), present.end()), present.end());
  std::string bytes;
  for (int n : present) {
    std::string line = file.ReadString(section, prefix + std::to_string(n), "");
    for (size_t i = 0; i + 1 < line.size(); i += 2) {
      int hi = HexValue(line[i]), lo = HexValue(line[i + 1]);
      bytes.push_back(hi < 0 || lo < 0 ? '\0' : static_cast<char>(hi * 16 + lo));
    }
  }
  if (!bytes.empty()) ReadComponentBytes(component, bytes);
}

} // namespace ze
