// The files the resource script names, and the script and manifest
// themselves.
#include "resource_images.h"

namespace calorix::resources {

namespace {

// One picture per size in kIconSizes, largest first.
std::vector<IconImage> EverySize(IconImage (*draw)(int size)) {
  std::vector<IconImage> images;
  for (const int size : kIconSizes) images.push_back(draw(size));
  return images;
}

}  // namespace

Bytes AppIcon() { return EncodeIcon(EverySize(DrawAppImage)); }
Bytes SnowflakeIcon() { return EncodeIcon(EverySize(DrawSnowflakeImage)); }
Bytes FlameIcon() { return EncodeIcon(EverySize(DrawFlameImage)); }
Bytes HazardIcon() { return EncodeIcon({DrawHazardImage(32), DrawHazardImage(16)}); }

Bytes NumberIcon(int number) {
  std::vector<IconImage> images;
  for (const int size : kIconSizes) images.push_back(DrawNumberImage(number, size));
  return EncodeIcon(images);
}

std::string ResourceScript(const ProgramVersion& version) {
  std::string rc;
  rc += "// Calorix resources. Written by generate_resources; edit that, not this.\n";
  rc += "\n";
  rc += "LANGUAGE 9, 1  // English (United States)\n";
  rc += "\n";
  rc += "1 ICON \"app.ico\"\n";
  rc += "\n";
  rc += "// Tray pictures: the temperature itself, 20 to 68 degrees.\n";
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    rc += std::to_string(n) + " ICON \"num" + std::to_string(n) + ".ico\"\n";
  }
  rc += "\n";
  rc += "10 ICON \"snowflake.ico\"  // 19 and below\n";
  rc += "11 ICON \"flame.ico\"      // 69 and above\n";
  rc += "12 ICON \"hazard.ico\"     // shutdown countdown\n";
  rc += "\n";
  rc += "99 SOUND \"alarm.wav\"\n";
  rc += "\n";
  rc += "1 24 \"calorix.manifest\"  // RT_MANIFEST\n";
  rc += "\n";
  rc += VersionInfoStatement(version);
  return rc;
}

std::string Manifest(const ProgramVersion& version) {
  return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Calorix" version=")" + DottedVersion(version) +
         R"(" processorArchitecture="*"/>
  <description>Calorix temperature in the notification area</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>
    </windowsSettings>
  </application>
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
</assembly>
)";
}

std::vector<OutputFile> AllFiles(const ProgramVersion& version) {
  auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  std::vector<OutputFile> files;
  files.push_back({"app.ico", AppIcon()});
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    files.push_back({"num" + std::to_string(n) + ".ico", NumberIcon(n)});
  }
  files.push_back({"snowflake.ico", SnowflakeIcon()});
  files.push_back({"flame.ico", FlameIcon()});
  files.push_back({"hazard.ico", HazardIcon()});
  files.push_back({"alarm.wav", AlarmSound()});
  files.push_back({"calorix.manifest", text(Manifest(version))});
  files.push_back({"calorix.rc", text(ResourceScript(version))});
  return files;
}

}  // namespace calorix::resources
