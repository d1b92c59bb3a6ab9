#pragma once
// Tables of (x, y) sample offsets for the multi-sample frame: one pass per
// offset, the camera shifted by it (antialiasing, depth of field).

#include <vector>

struct VSampleOffset {
  double x = 0, y = 0;
};

// The 3 x 3 grid (y = -1, 0, 1 outer, x = -1, 0, 1 inner) times scale.
std::vector<VSampleOffset> VGridSampleTable(double scale);

// Sample counts above this are taken as this: the relaxation costs grow
// with the square of the count, and the frame is drawn once per sample.
constexpr int kVMaxSampleCount = 64;

// `count` samples spread evenly over a disc: 3 * count guide points on the
// unit circle hold the samples in while the samples push each other apart
// over 900 relaxation steps; the result is scaled so the farthest sample
// lies exactly at `scale` from the centre. Reseeds the process-wide
// pseudo-random generator with 37 (it breaks the symmetry of the start,
// where every sample is at the centre), so equal inputs give equal tables.
// A count below 1 gives an empty table; one sample stays at the centre.
std::vector<VSampleOffset> VRelaxedCircleSampleTable(int count, double scale);
