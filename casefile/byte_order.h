// The byte order of binary EnSight files, and the one way it is told from
// what a file holds.
#pragma once

#include <cstdint>

namespace quorix {

enum ByteOrder : int32_t { LittleEndian = 1, BigEndian = 2, ByteOrderUnknown = 255 };

// LittleEndian on little-endian machines, BigEndian on big-endian ones.
ByteOrder NativeByteOrder();
ByteOrder OtherByteOrder(ByteOrder order);

// What a reading of a file's first words in one byte order shows.
enum class OrderEvidence {
    Refuted,  // a value that cannot be (a negative count, one past the end of the file)
    Fits,     // every value can be, in this order and maybe in the other too
    Proof,    // a value that reads so in this order only (a part number 1..65535)
};

inline OrderEvidence FitsIf(bool fits) { return fits ? OrderEvidence::Fits : OrderEvidence::Refuted; }

// The byte order that `judge(order)` proves, else the only one in which the
// file fits, else, when both fit, `tie()`; ByteOrderUnknown when none fits.
// The other machine's order is judged first, as most files come from the same
// kind of machine and so are proved only in the second reading.
template <class Judge, class Tie>
ByteOrder DetectByteOrder(Judge&& judge, Tie&& tie) {
    const ByteOrder other = OtherByteOrder(NativeByteOrder());
    const OrderEvidence otherEvidence = judge(other);
    if (otherEvidence == OrderEvidence::Proof) return other;
    const OrderEvidence nativeEvidence = judge(NativeByteOrder());
    if (nativeEvidence == OrderEvidence::Proof) return NativeByteOrder();
    const bool otherFits = otherEvidence == OrderEvidence::Fits;
    const bool nativeFits = nativeEvidence == OrderEvidence::Fits;
    if (otherFits && nativeFits) return tie();
    return nativeFits ? NativeByteOrder() : otherFits ? other : ByteOrderUnknown;
}

// The order of a Fortran file whose first record is an 80-byte string: the
// 4-byte lengths before and after it both read 80 in that order only.
// ByteOrderUnknown when the record is not framed so.
ByteOrder FortranFrameOrder(const unsigned char* lengthBefore, const unsigned char* lengthAfter);

}  // namespace quorix
