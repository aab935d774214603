// The path of the Julia parameter: points along the boundary of the
// Mandelbrot set.
#pragma once

namespace ukvo2 {

struct Complex {
    double re, im;
};

// 151 fixed points along the lower half of the Mandelbrot set's boundary.
extern const Complex PathTable[151];

// 302 points: PathTable forward, then its conjugates backward. Filled by
// BuildPath.
extern Complex Path[302];
void BuildPath();

}  // namespace ukvo2
