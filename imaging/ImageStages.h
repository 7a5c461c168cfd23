// The scaled-image stage and the thumbnail stage of a run, made from one decode per photo.
#pragma once

#include <string>
#include <vector>

#include "imaging/ResizeJob.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"
#include "imaging/WaitingThumbnails.h"

namespace fotoloom {

// What one photo needs of the image stages.
struct PhotoNeeds {
  bool ScaledImage = true;
  bool Thumbnail = true;
};

// Drives a scaled-image writer and a thumbnail writer as two stages, one
// after the other, over their own fields and events: Create_images writes
// what scaling.Create_images() writes, and Create_thumbnails what
// thumbs.Create_thumbnails() writes, byte for byte, with the same events in
// the same order, the same cancel checks between images and the same errors
// at the same image. The difference is that each photo is decoded once: the
// scaled-image stage also makes the photo's thumbnail, with the thumbnail
// writer's settings as they are when that stage starts, and keeps it
// (WaitingThumbnails) until the thumbnail stage writes it. A cancel in the
// scaled-image stage thus leaves no thumbnail written; a thumbnail that
// failed is reported at its place in the thumbnail stage.
//
// With the thumbnail writer's SharpThumbnails the same decode also makes
// the "t2_" thumbnail, kept and written with its "t_" file; with a writer's
// WebP each of its files is followed by its WebP file.
class ImageStages {
 public:
  // The writers must outlive this object.
  ImageStages(tscaling_file& scaling, tthumb_file& thumbs);

  // Whether Create_images makes the thumbnails too; the thumbnail writer's
  // settings must then be set before it. Off, or when the writers decode
  // differently (Grayscale), the thumbnail stage makes every thumbnail itself.
  bool ThumbnailsAlong = true;

  // What each photo needs, by its index in the writers' lists; photos the
  // list does not reach need both. A photo that needs neither is not read.
  // Both stages still fire their progress event for every photo, in order.
  std::vector<PhotoNeeds> Needs;

  // The scaled-image stage, with the scaled-image writer's fields and events.
  void Create_images();

  // The thumbnail stage, with the thumbnail writer's fields and events. It
  // writes the thumbnails kept by Create_images for the same photos and the
  // same settings, and makes the others (the decode's cancel checks are then
  // the thumbnail writer's). Forgets the kept thumbnails when it ends.
  void Create_thumbnails();

  // Drops the kept thumbnails and the file some may wait in.
  void Forget();

  // The kept thumbnails, for tests (their memory bound in particular).
  WaitingThumbnails& Waiting() { return waiting_; }

 private:
  PhotoNeeds NeedsOf(int index) const;

  tscaling_file& scaling_;
  tthumb_file& thumbs_;
  WaitingThumbnails waiting_;
  // What the kept thumbnails were made from: the photos and the settings.
  std::vector<std::string> keptFiles_;
  ResizeSettings keptSettings_;
  bool keptSharp_ = false;
};

}  // namespace fotoloom
