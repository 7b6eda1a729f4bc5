#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"

#include <vector>

// A back line: the point it starts from and its unit direction.
struct BackLine {
    Vec3 start;
    Vec3 direction;
};

// The point nearest to all lines in the least-squares sense, X = (sum M_i)^-1 sum M_i P_i with
// M_i = I - u_i u_i^T, and each line's miss distance |M_i (X - P_i)| (metres, line order).
struct Convergence {
    Vec3 point;
    std::vector<double> miss;
};

// Refused when there are fewer than two lines or when they are parallel (within about 0.1
// degrees), since then no point is nearer to all of them than any other along them.
Status ConvergeLines(const std::vector<BackLine>& lines, Convergence& result);
