#include "service/writable_desk.h"

#include "driver/card_driver.h"
#include "driver/driver_host_client.h"
#include "host/executable_path.h"
#include "host/host_directory.h"
#include "service/desk_permissions.h"
#include "service/library_location.h"

namespace service {

std::vector<std::string> WritableDesk(const std::string& configPath, Language language) {
  const std::string directory = host::HostDirectory();
  const std::string program = host::ExecutablePath();
  const std::string programDirectory =
      host::DirectoryOf(program, host::kPathSeparator, host::IsLeadByte);
  std::vector<std::string> folders{directory};
  if (programDirectory != directory) folders.push_back(programDirectory);
  std::vector<std::string> files{program, configPath, directory + driver::kCardDriverFile};
  const std::string library = CardLibraryLocation(programDirectory);
  if (IsLibraryPath(library)) {
    // The driver host lies beside the library (natively also in readcard/
    // below it). A library that the loader finds by name is a system one.
    const std::string libraryDirectory =
        host::DirectoryOf(library, host::kPathSeparator, host::IsLeadByte);
    files.push_back(library);
    files.push_back(libraryDirectory + driver::kDriverHostFile);
#ifndef _WIN32
    files.push_back(libraryDirectory + "readcard/" + driver::kDriverHostFile);
#endif
  }
  std::vector<std::string> lines;
  for (const PermissionFinding& finding : CheckDeskPermissions(folders, files)) {
    lines.push_back(DescribeFinding(finding, language));
  }
  return lines;
}

std::string WritableDeskLine(const std::vector<std::string>& found, bool served,
                             Language language) {
  std::string joined;
  for (const std::string& each : found) joined += (joined.empty() ? "" : "; ") + each;
  return Say(language, served ? Words::kDeskWritableServingLog : Words::kDeskWritableRefusingLog,
             {joined});
}

}  // namespace service
