#pragma once
// Every address of the maker's web site, in one place.
constexpr char kMakerWebAddress[] = "www.orvane.net";
constexpr char kMakerSiteRoot[] = "http://www.orvane.net";

// The script that describes a file by its name, size and folder; appended to
// kMakerSiteRoot.
constexpr char kOnlineInfoScriptPath[] = "/products/orvane/procinfo/show.php";

// Where users write to the maker, and what the action bar calls it.
constexpr char kContactAddress[] = "http://www.orvane.net/contact/";
constexpr char kContactServiceName[] = "e-mail form";
