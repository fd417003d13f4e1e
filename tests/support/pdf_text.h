// A printed PDF file read back as text, page by page (poppler's pdftotext,
// keeping the layout so a line of the page stays one line).
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> PdfPages(const std::string& path) {
  std::vector<std::string> pages;
  const std::string command = "pdftotext -layout '" + path + "' - 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return pages;
  std::string text;
  char buffer[4096];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, read);
  pclose(pipe);
  // Pages end with a form feed.
  std::stringstream stream(text);
  std::string page;
  while (std::getline(stream, page, '\f')) pages.push_back(page);
  if (!pages.empty() && pages.back().find_first_not_of(" \n") == std::string::npos) pages.pop_back();
  return pages;
}

// The number of times a text appears in another.
inline int Occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// The number of pages of a PDF file (poppler's pdfinfo), text or not; 0 when it cannot be read.
inline int PdfPageCount(const std::string& path) {
  const std::string command = "pdfinfo '" + path + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return 0;
  int pages = 0;
  char line[512];
  while (fgets(line, sizeof line, pipe))
    if (std::sscanf(line, "Pages: %d", &pages) == 1) break;
  pclose(pipe);
  return pages;
}
