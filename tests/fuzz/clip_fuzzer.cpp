// libFuzzer target for the clipper. The bytes become a polygon of 0 to 400 vertices: with the first
// byte odd, every vertex is 16 raw bytes (any float bit pattern, NaN and infinities included);
// with it even, every coordinate is one signed byte / 32, so vertices land exactly on the planes
// and on the lines where they meet far more often than random floats would.
//
// For every input it checks what must always hold:
//   - clipToPlane never writes past n * 3 / 2 vertices, for every plane;
//   - clipPolygon's count is never negative nor beyond the room of the array it hands back;
//   - its result is the plain six-pass Sutherland-Hodgman result, vertex for vertex;
//   - for finite input of moderate magnitude, every output vertex is in the volume up to rounding;
//   - a polygon with no vertex outside any plane comes back with the same vertices, rotated.
#include "clip/clip.h"

#include "../reference_clip.h"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t MAX_VERTICES = 400;

void check(bool condition)
{
    if (!condition) std::abort();
}

std::vector<Vec4> decode(const uint8_t* data, size_t size)
{
    std::vector<Vec4> polygon;
    if (size == 0) return polygon;
    const bool raw = data[0] & 1;
    ++data;
    --size;
    const size_t bytesPerVertex = raw ? 16 : 4;
    const size_t n = std::min(size / bytesPerVertex, MAX_VERTICES);
    for (size_t i = 0; i < n; ++i, data += bytesPerVertex) {
        float c[4];
        if (raw) {
            std::memcpy(c, data, sizeof c);
        } else {
            for (int k = 0; k < 4; ++k) c[k] = static_cast<float>(static_cast<int8_t>(data[k])) / 32.0f;
        }
        polygon.push_back({c[0], c[1], c[2], c[3]});
    }
    return polygon;
}

bool sameVertex(const Vec4& a, const Vec4& b)
{
    using reference::sameFloat;
    return sameFloat(a.x, b.x) && sameFloat(a.y, b.y) && sameFloat(a.z, b.z) && sameFloat(a.w, b.w);
}

bool outsideAnyPlane(const Vec4& v)
{
    for (int plane = 0; plane < 6; ++plane)
        if (reference::outside(v, plane)) return true;
    return false;
}

void checkEachPlane(const std::vector<Vec4>& in)
{
    const int n = static_cast<int>(in.size());
    const size_t room = in.size() * 3 / 2;
    // An exact-size heap array, so that the sanitizer sees a write one past the bound.
    Vec4* out = new Vec4[room == 0 ? 1 : room];
    for (int plane = 0; plane < 6; ++plane) {
        const int count = clipToPlane(in.data(), n, out, static_cast<ClipPlane>(plane));
        check(count >= 0 && static_cast<size_t>(count) <= room);
    }
    delete[] out;
}

void checkInVolume(const std::vector<Vec4>& in, const Vec4* result, int count)
{
    float magnitude = 0.0f;
    for (const Vec4& v : in)
        for (float c : {v.x, v.y, v.z, v.w}) {
            if (!std::isfinite(c)) return;
            magnitude = std::max(magnitude, std::fabs(c));
        }
    // Below this the sums in the crossing formula cannot overflow.
    if (magnitude > 1e30f) return;
    const float tolerance = 1e-5f * magnitude + 1e-30f;
    for (int i = 0; i < count; ++i) {
        const Vec4& v = result[i];
        check(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w));
        check(std::fabs(v.x) <= v.w + tolerance);
        check(std::fabs(v.y) <= v.w + tolerance);
        check(std::fabs(v.z) <= v.w + tolerance);
    }
}

void checkInsideComesBackRotated(const std::vector<Vec4>& in, const Vec4* result, int count)
{
    if (in.empty() || std::any_of(in.begin(), in.end(), outsideAnyPlane)) return;
    const size_t n = in.size();
    check(static_cast<size_t>(count) == n);
    for (size_t i = 0; i < n; ++i) check(std::memcmp(&result[i], &in[(i + 6) % n], sizeof(Vec4)) == 0);
}

void checkAgainstReference(const std::vector<Vec4>& in, const Vec4* result, int count)
{
    const int n = static_cast<int>(in.size());
    Vec4* expected = nullptr;
    const int expectedCount = reference::clipPolygon(in.data(), n, &expected, reference::worstCaseRoom(n));
    check(count == expectedCount);
    for (int i = 0; i < count; ++i) check(sameVertex(result[i], expected[i]));
    delete[] expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<Vec4> in = decode(data, size);
    checkEachPlane(in);

    Vec4* result = nullptr;
    const int count = clipPolygon(in.data(), static_cast<int>(in.size()), &result);
    check(result != nullptr);
    check(count >= 0);
    check(static_cast<size_t>(count) <= __sanitizer_get_allocated_size(result) / sizeof(Vec4));
    checkInVolume(in, result, count);
    checkInsideComesBackRotated(in, result, count);
    checkAgainstReference(in, result, count);
    delete[] result;
    return 0;
}
