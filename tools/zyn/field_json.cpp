#include "tools/zyn/field_json.h"

#include "tools/common/base64.h"
#include "zynfile/zyn_file.h"

namespace zyn_tool {
namespace {

void WriteValue(VZynFile& file, tools::JsonWriter& json) {
  json.BeginObject();
  char type = file.IsBinary() ? file.FieldReadGetType() : 'S';
  switch (type) {
    case 'C': {
      char c = file.FieldReadCH();
      json.Key("C");
      json.String(std::string(1, c));
      break;
    }
    case 'I':
      json.Key("I");
      json.Int(file.FieldReadI());
      break;
    case 'F':
      json.Key("F");
      json.Double(file.FieldReadF());
      break;
    case 'D':
      json.Key("D");
      json.Double(file.FieldReadD());
      break;
    case 'L':
      json.Key("L");
      json.Int(file.FieldReadLL());
      break;
    case 'R': {
      uint32_t size = 0;
      const uint8_t* bytes = file.FieldReadR(&size);
      json.Key("R");
      json.String(tools::Base64Encode(bytes, size));
      break;
    }
    default:
      json.Key("S");
      json.String(file.FieldReadC());
  }
  json.EndObject();
}

}  // namespace

void WriteFileFormJson(const VZynFile& file, tools::JsonWriter& json) {
  json.Key("binary");
  json.Bool(file.IsBinary());
  json.Key("version");
  json.Int(file.GetVersion());
}

void WriteFieldsJson(VZynFile& file, tools::JsonWriter& json) {
  json.BeginArray();
  int count = file.FieldReadOccurrenceCount();
  for (int k = 0; k < count && file.FieldReadBeginOccurrence(k); ++k) {
    json.BeginObject();
    json.Key("name");
    json.String(file.FieldReadGetName());
    json.Key("values");
    json.BeginArray();
    for (int n = file.FieldReadGetCount(); n > 0; --n) WriteValue(file, json);
    json.EndArray();
    if (file.FieldReadIsBlock()) {
      json.Key("block");
      if (file.FieldReadBlockBegin()) {
        WriteFieldsJson(file, json);  // depth is bounded by the reader's nesting limit
        file.FieldReadBlockEnd();
      } else {
        json.BeginArray();
        json.EndArray();
      }
    }
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace zyn_tool
