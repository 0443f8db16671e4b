// ZvkReg: the profile register. It reads profile databases (text files "*.qzw", format in
// data/catalogs/README.md) whose folders hold named steel profiles, and computes a profile's section values,
// dimensions, contour and thin-walled plate model on request ("projects").
//
// Units: cm for lengths, cm^2, cm^4, cm^6 for the section values. Coordinates of the register: y to the right
// and z downwards from the upper left corner of the profile's bounding box.
//
// Handles: databases and projects are positive ints; -1 (databases) and 0 (projects) mean none.
#pragma once

#if defined(__GNUC__)
#define ZVK_API __attribute__((visibility("default")))
#else
#define ZVK_API
#endif

extern "C" {

// One contour point as the register delivers it (24 bytes).
struct ZvkPoint {
  double y;
  double z;
  int kind;  // ZVK_POINT_CORNER or ZVK_POINT_ARC
  int unused;
};
enum { ZVK_POINT_CORNER = 0, ZVK_POINT_ARC = 1 };

// Block sizes in bytes.
enum { ZVK_GQS_SIZE = 136, ZVK_SQS_SIZE = 184, ZVK_TQE_SIZE = 192, ZVK_TQS_SIZE = 128 };
// Section types (the int at byte 4 of the Sqs block).
enum { ZVK_TYPE_I = 0 };
// Folder members.
enum { ZVK_MEMBER_PROFILE = 0, ZVK_MEMBER_FOLDER = 1, ZVK_MEMBER_END = -1 };

// --- Databases ---

// Reads the database file. Its handle, or -1 when the file is missing or malformed (see ZVK_GetLastError).
// The mode is accepted for the callers' sake (0 = read).
ZVK_API int ZVK_DB_Open(const char* path, int mode);
ZVK_API int ZVK_DB_Close(int db);
// Copies the database's file path into the buffer (cut to size - 1 characters); its length, or -1.
ZVK_API int ZVK_DB_GetFilePath(int db, char* buffer, int size);
// Lists a folder ("" the root, else "\A" or "\A\B"): the first / next member's name into `name` (cut to
// size - 1 characters) and ZVK_MEMBER_PROFILE or ZVK_MEMBER_FOLDER; ZVK_MEMBER_END after the last one and
// for an unknown folder. One listing per database at a time.
ZVK_API int ZVK_DB_GetFirstFolderMember(int db, const char* folder, char* name, int size);
ZVK_API int ZVK_DB_GetNextFolderMember(int db, char* name, int size);
// Loads the profile "folder\name" into the project. 0 on success, -1 when there is no such profile.
ZVK_API int ZVK_DB_GetProject(int db, const char* path, int project);
// Writes a prepared cache file of every profile of the database (see data/catalogs/README.md): the values
// as ZVK_PRO_Calculate gives them. 1 on success, 0 on failure.
ZVK_API int ZVK_DB_WriteCacheFile(int db, const char* cachePath);

// The message of the last failed open or cache write; "" when it succeeded.
ZVK_API const char* ZVK_GetLastError(void);

// --- Projects ---

ZVK_API int ZVK_PRO_Create(void);
ZVK_API int ZVK_PRO_Delete(int project);
// With a null buffer, *count becomes the number of contour points; otherwise at most *count points are
// copied and *count becomes the number copied. 0 on success, -1 without a loaded profile.
ZVK_API int ZVK_PRO_GetDrawingPoints(int project, ZvkPoint* buffer, int* count);
// Computes the loaded profile. 0 on success, -1 when there is none or its dimensions are unusable.
ZVK_API int ZVK_PRO_Calculate(int project);
// Results of the last calculation. Sqs (ZVK_SQS_SIZE bytes): int kind (0 rolled I) at 0, int section type at
// 4, doubles hs 8, ts 16, r 24, upper flange centre (y, z) 32/40, web centre 48/56, lower flange centre
// 64/72, bo 88, upper flange left end (y, z) 96/104, to 112, bu 120, lower flange left end 128/136, tu 144.
// Returns 0, or -1 (block untouched) without a result.
ZVK_API int ZVK_PRO_GetResultSqs(int project, void* sqs);
// Gqs: 17 doubles A, Ito, Itg, y0, z0, Ayy, Ayz, Azz, Ayw, Azw, Aww, phi, ym, zm, Byy, Bzz, Bww.
// A area; Ito torsion constant (the table's where the database gives it, else the plate model's); Itg torsion
// constant of the plate model; (y0, z0) centroid; Ayy = Iz and Azz = Iy (about the centroid), Ayz product
// moment; Ayw, Azw, Aww sectorial moments about the shear centre (Aww the warping constant); phi principal
// axis angle (rad); (ym, zm) shear centre; Byy, Bzz, Bww the Wagner integrals of (y^2 + z^2) with y, z, omega.
ZVK_API int ZVK_PRO_GetResultGqs(int project, double* gqs);
// Thin-walled model: number of parts (1 for an I-section), number of plates of a part.
ZVK_API int ZVK_PRO_GetnTqs(int project);
ZVK_API int ZVK_PRO_GetnTqe(int project, int part);
// Plate (ZVK_TQE_SIZE bytes): doubles y1, z1, y2, z2 of its centre line at 0..24, thickness 32, length 40;
// the radii r0..r3 of its fillets at byte 160. 0, or -1 for a bad index.
ZVK_API int ZVK_PRO_GetResultTqe(int project, int part, int plate, void* tqe);
// Cross-section values of a part of the project (ZVK_TQS_SIZE bytes): doubles area 0, torsion constant of the
// plate model at byte 88. 0, or -1.
ZVK_API int ZVK_PRO_GetResultTqs(int project, int part, void* tqs);
}
