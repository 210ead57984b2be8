#pragma once
// Every address of the maker's web site, in one place.
constexpr char kMakerWebAddress[] = "www.orvane.net";
constexpr char kMakerSiteRoot[] = "http://www.orvane.net";
