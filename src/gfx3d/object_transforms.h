// The arithmetic of the object transform records (the methods are in
// Rainbows3D): the rotation matrix of one record entry and the finishing of
// a record's matrix.
#pragma once

struct Object3DTransform;

// The matrix of glRotatef: `angle` degrees about (x, y, z) normalised; an
// axis with one non-zero component uses exact 0 and 1 entries. False (out
// untouched) for an axis of length 0.0001 or less.
bool rotationMatrix(float angle, float x, float y, float z, float (&out)[16]);

// When matrixValid is 0: matrix := matrix x each extra matrix (first added
// first) x translation x each rotation (last added first) x scale; then
// matrixValid 1. Nothing for a valid record.
void finishTransformMatrix(Object3DTransform& t);
