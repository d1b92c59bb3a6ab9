#pragma once
// Focal length and field of view of a camera's lens: FOV = 2 atan(A / 2f),
// A the film aperture along the direction the field of view covers. Film
// apertures are held in inches, focal lengths in millimetres.

constexpr double kVMillimetresPerInch = 25.4;

// Field of view in degrees. Focal lengths below 1 mm count as 1 mm; an
// aperture that is not a positive finite number counts as 1 inch.
double VFieldOfViewFromFocalLength(double focal_length_mm, double aperture_inches);
// Focal length in millimetres; the field of view is taken as at least 1
// degree (and below 180), so the result is always positive and finite.
double VFocalLengthFromFieldOfView(double field_of_view_degrees, double aperture_inches);
