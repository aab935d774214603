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
constexpr int PathPoints = 302;
extern Complex Path[PathPoints];
void BuildPath();

// The same points into `path`, the caller's: touches no state of the module.
void MakePath(Complex (&path)[PathPoints]);

}  // namespace ukvo2
