// The 3-D commands that change the current object transform, read matrices
// and triangles out into numeric arrays, change an object's size or the
// shade table, project points to and from the window, and test objects for
// collision. Numbers arrive as doubles and are narrowed to 32-bit floats;
// arrays are RtArray<double>; tests give 0 or 1. Without a 3-D renderer
// every command does nothing and gives 0.
//
// Array shapes the commands insist on are enforced by the array's own
// bounds test: a bad shape ends the program with error 9.
//
// Departures: a slot number outside 0 to 4,095 gives 0 (nothing for
// GetObjectTriangle but the zeroed array); GetObjectTriangle treats a frame
// that a part does not have as holding no triangles; RayDistance draws no
// debug line for a zero direction (the line's length would divide by 0);
// ScaleObjectMesh drops each part's static vertex buffer, which holds frame 0
// as first drawn, so the next draw shows the new size; AddObjectRotation and
// AddObjectMatrix start the record's matrix again from its starting matrix,
// so a transform added after the matrix was finished counts once, as if it
// had been added before; UnprojectPoint takes rows from the top as
// ProjectPoint gives them, so it is ProjectPoint's inverse on any viewport
// (cone_and_projection.h).
// ConeHitsObject is a command of its own for the renderer's cone test.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_array.h"

// Transform stack (the current record is the one at the renderer's transformIndex).
void PushTransform();  // a child record starting from the current finished matrix; nothing at the 16th
void PopTransform();   // back to the parent; at record 0 resets it to the identity
// Both start the record again from its parent's matrix, without rotations or
// extra matrices; the position (the scale) is set, the other kept.
void SetObjectPosition(double x, double y, double z);
void SetObjectScale(double x, double y, double z);
void AddObjectRotation(double angle, double x, double y, double z);  // degrees; 16 at most
// A one-dimensional array of exactly 16 elements: one column-major matrix
// (16 at most); any other shape is ignored.
void AddObjectMatrix(RtArray<double>& matrix);
// The current object matrix and the camera's view matrix as 16 elements,
// column-major; the array is made one-dimensional of 16 first.
void GetObjectMatrix(RtArray<double>& out);
void GetViewMatrix(RtArray<double>& out);

// Object queries and changes.
int CountObjectTriangles(int slot);  // over the parts, frame 0
// The triangle's three vertices as the rows of a 3 x 9 array (x, y, z, u, v,
// colour, nx, ny, nz); all zero when the object has no such triangle.
// Triangles are counted across the parts in order.
void GetObjectTriangle(int slot, int frame, int triangle, RtArray<double>& out);
void ScaleObjectMesh(int slot, double sx, double sy, double sz);
// The brightness ramp of cel shading from values 0..1 (each times 255 and
// truncated, then its low 8 bits). An empty array ends the program (error 9).
void SetShadeTable(RtArray<double>& values);

// World point to pixels of the picture where the scene draws it (x to the
// right, rows from the top, as the mouse reads them whatever the
// orientation; the offscreen screen's own while one is selected), and back; the outputs are left as they are when the point cannot be
// mapped.
void ProjectPoint(double x, double y, double z, double& sx, double& sy, double& sz);
void UnprojectPoint(double sx, double sy, double sz, double& x, double& y, double& z);

// Collision with the object in a slot at the current transform. With the
// project's debug flag set, each test also draws what it tested.
int CollideSphere(int slot, int frame, double radius, double x, double y, double z);
// A box of the given sizes along x, y and z, centred on the point.
int CollideBoxObject(int slot, int frame, double x, double y, double z, double width, double height, double depth);
// The point against the box of the given sizes centred at the current
// transform's origin; `squaredRadius` is compared with a squared distance.
int CollideSphereBox(double x, double y, double z, double squaredRadius, double width, double height, double depth);
// Distance from the start along the direction to the nearest triangle ahead;
// when none is ahead, the nearest behind as a negative distance; 0 for none.
double RayDistance(int slot, int frame, double x, double y, double z, double dx, double dy, double dz);
// 1 when a triangle of the object lies inside the cone from the apex along
// the axis with the half angle in degrees.
int ConeHitsObject(int slot, int frame, double apexX, double apexY, double apexZ, double axisX, double axisY,
                   double axisZ, double halfAngle);
