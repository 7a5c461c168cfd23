// The texts of the two macro reference tables.
#include "pages/MacroReference.h"

#include "pages/AlbumMacros.h"
#include "pages/ZipMacros.h"

namespace fotoloom {

const std::array<MacroReferenceRow, 25> kThumbnailMacroReference = {{
    {"@cp@", "current page number"},
    {"@tp@", "total number of page"},
    {"@next@", "filename of next page"},
    {"@prev@", "filename of previous page"},
    {"@first@", "filename of first page"},
    {"@last@", "filename of last page"},
    {"@iof@", "ignore line on first page"},
    {"@iol@", "ignore line on last page"},
    {"@oof@", "this line only on first page"},
    {"@ool@", "this line only on last page"},
    {"@ignore@", "Always ignore line (good for remarks)"},
    {"@bg_color@", "The selected background color as hex value (e.g. #1A66C5#)"},
    {"@text_color@", "The selected text color as hex value"},
    {"@link_color@", "The selected link color color as hex value"},
    {"@vlink_color@", "The selected visited link color as hex value"},
    {"@thumbtable@", "the table with the thumbnail"},
    {"@title@", "a title for thumbnail pages"},
    {kAlbumTableMacro, "the table with the sub-albums (first page of an album only)"},
    {kAlbumPathMacro, "links from the top album down to this album (empty on the top album)"},
    {kAlbumNameMacro, "the folder name of this album (the title on the top album)"},
    {"@thumbgrid@", "the thumbnails as a grid of figures that reflows on small screens"},
    {"@photo_count@", "total number of images"},
    {kZipMacro, "filename of the ZIP of all photos (empty without one)"},
    {kZipSizeMacro, "size of the ZIP of all photos (e.g. 12.5 MB)"},
    {kZipLinkMacro, "a link to download the ZIP of all photos (empty without one)"},
}};

const std::array<MacroReferenceRow, 36> kImageMacroReference = {{
    {"@cp@", "current page number"},
    {"@tp@", "total number of page"},
    {"@next@", "filename of next page"},
    {"@prev@", "filename of previous page"},
    {"@first@", "filename of first page"},
    {"@last@", "filename of last page"},
    {"@iof@", "ignore line on first page"},
    {"@iol@", "ignore line on last page"},
    {"@oof@", "this line only on first page"},
    {"@ool@", "this line only on last page"},
    {"@ignore@", "Always ignore line (good for remarks)"},
    {"@bg_color@", "The selected background color as hex value (e.g. #1A66C5#)"},
    {"@text_color@", "The selected text color as hex value"},
    {"@link_color@", "The selected link color color as hex value"},
    {"@vlink_color@", "The selected visited link color as hex value"},
    {"@thumbs@", "filename of corresponding thumbnailpage"},
    {"@image_smaller@", "filename of this image (probably scaled down)"},
    {"@image_big@", "filename of this image (original size)"},
    {"@image_org@", "original imagefilename WITHOUT fileextension"},
    {"@image_org_ext@", "original imagefilename WITH fileextension"},
    {"@exifcomment@", "the contents of comment section of the images exifinformation"},
    {"@datetaken@", "date and time the photo was taken (e.g. 2024-05-17 14:03)"},
    {"@camera@", "make and model of the camera"},
    {"@lens@", "the lens model"},
    {"@exposure@", "exposure time, aperture, ISO and focal length"},
    {"@image_alt@", "the comment, else the imagefilename WITHOUT fileextension"},
    {kAlbumPathMacro, "links from the top album down to the album of this image (empty on the top album)"},
    {kAlbumNameMacro, "the folder name of the album of this image (the title on the top album)"},
    {"@image_width@", "width of the scaled image in pixels"},
    {"@image_height@", "height of the scaled image in pixels"},
    {"@image_webp_source@", "a <source> of the WebP copy for a <picture> (empty without WebP)"},
    {"@image_big_link@", "a link to the original size (empty when originals are not copied)"},
    {"@next_image@", "filename of the next scaled image, to fetch ahead (empty on the last page)"},
    {kZipMacro, "filename of the ZIP of all photos (empty without one)"},
    {kZipSizeMacro, "size of the ZIP of all photos (e.g. 12.5 MB)"},
    {kZipLinkMacro, "a link to download the ZIP of all photos (empty without one)"},
}};

}  // namespace fotoloom
