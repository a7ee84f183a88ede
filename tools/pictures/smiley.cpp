// smiley.cpp: the first picture, a yellow smiling face on a blue sunburst.
// The eyes sit above the centre and the smile below it, so the face shows which way is up.
#include <cmath>
#include <numbers>

#include "tools/pictures/pictures.h"

namespace {

constexpr double centre = picture_side / 2.0;
constexpr double face_radius = 100.0;
constexpr double outline_width = 6.0;
constexpr int sunburst_rays = 16;

constexpr rgb ray_light{70, 150, 240};
constexpr rgb ray_dark{30, 90, 200};
constexpr rgb face_yellow{255, 214, 40};
constexpr rgb face_highlight{255, 238, 130};
constexpr rgb outline_brown{80, 45, 0};
constexpr rgb cheek_pink{250, 150, 100};
constexpr rgb eye_white{255, 255, 255};

// The smile: a band around the centre of the face from 25 to 155 degrees
// below the horizontal, with rounded ends.
constexpr double smile_radius = 64.0;
constexpr double smile_half_width = 7.0;
constexpr double smile_first_degree = 25.0;
constexpr double smile_last_degree = 155.0;

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

double degrees_below_horizontal(double x, double y) {
  return std::atan2(y - centre, x - centre) * 180.0 / std::numbers::pi;
}

rgb sunburst(int x, int y) {
  const double turn = degrees_below_horizontal(x + 0.5, y + 0.5) + 180.0;
  const int ray = static_cast<int>(turn * sunburst_rays / 360.0);
  return ray % 2 == 0 ? ray_light : ray_dark;
}

bool is_near_smile_end(double x, double y, double end_degrees) {
  const double end_x = centre + smile_radius * std::cos(radians(end_degrees));
  const double end_y = centre + smile_radius * std::sin(radians(end_degrees));
  return std::hypot(x - end_x, y - end_y) <= smile_half_width;
}

bool is_in_smile(double x, double y) {
  const double radius = std::hypot(x - centre, y - centre);
  const double degrees = degrees_below_horizontal(x, y);
  const bool in_band = std::abs(radius - smile_radius) <= smile_half_width && degrees >= smile_first_degree &&
                       degrees <= smile_last_degree;
  return in_band || is_near_smile_end(x, y, smile_first_degree) || is_near_smile_end(x, y, smile_last_degree);
}

void draw_eye(canvas& picture, double x) {
  constexpr double eye_y = 96.0;
  fill_ellipse(picture, x, eye_y, 12.0, 21.0, outline_brown);
  fill_disc(picture, x + 3.0, eye_y - 9.0, 4.5, eye_white);
}

}  // namespace

canvas draw_smiley() {
  canvas picture;
  paint(picture, sunburst);
  fill_disc(picture, centre, centre, face_radius + outline_width, outline_brown);
  fill_disc(picture, centre, centre, face_radius, face_yellow);
  fill_ellipse(picture, 88.0, 62.0, 22.0, 12.0, face_highlight);
  fill_ellipse(picture, 72.0, 148.0, 14.0, 9.0, cheek_pink);
  fill_ellipse(picture, 184.0, 148.0, 14.0, 9.0, cheek_pink);
  draw_eye(picture, 98.0);
  draw_eye(picture, 158.0);
  fill_shape(picture, is_in_smile, outline_brown);
  return picture;
}
