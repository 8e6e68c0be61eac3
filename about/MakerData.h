// The maker's contact data shown on the "Autor" page of the About box.
#pragma once

namespace MakerData {
inline constexpr const char *NameLines[3] = {"Farbwerk Beispiel", "Softwareentwicklung", "GmbH"};
inline constexpr const char *WebHosts[2] = {"www.example.com", "www.example.net"};
inline constexpr const char *MailAddresses[2] = {"info@example.com", "hilfe@example.net"};
inline constexpr const char *AddressLines[3] = {"Musterstraße 12", "12345 Musterstadt", "Deutschland"};
inline constexpr const char *Telephone = "+49 30 1234560";
inline constexpr const char *Fax = "+49 30 1234569";
}
