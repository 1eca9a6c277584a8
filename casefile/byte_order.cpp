#include "casefile/byte_order.h"

#include <cstring>

#include "casefile/string_record.h"

namespace quorix {

ByteOrder NativeByteOrder() {
    static const ByteOrder order = [] {
        const unsigned char bytes[2] = {0xFF, 0x00};
        uint16_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value == 255 ? LittleEndian : BigEndian;
    }();
    return order;
}

ByteOrder OtherByteOrder(ByteOrder order) { return order == LittleEndian ? BigEndian : LittleEndian; }

ByteOrder FortranFrameOrder(const unsigned char* lengthBefore, const unsigned char* lengthAfter) {
    constexpr unsigned char Little[4] = {StringRecordBytes, 0, 0, 0};
    constexpr unsigned char Big[4] = {0, 0, 0, StringRecordBytes};
    if (std::memcmp(lengthBefore, lengthAfter, 4) != 0) return ByteOrderUnknown;
    if (std::memcmp(lengthBefore, Little, 4) == 0) return LittleEndian;
    return std::memcmp(lengthBefore, Big, 4) == 0 ? BigEndian : ByteOrderUnknown;
}

}  // namespace quorix
