#include "tables.h"

#include <array>

namespace tables {

namespace {

using LevelTable = std::array<std::array<QString, kEpisodeCount>, kLevelCount>;

LevelTable &levelTable()
{
    static LevelTable table;
    return table;
}

QStringList &countryTable()
{
    static QStringList table;
    return table;
}

std::array<QString, kPortNameCount> &portTable()
{
    static std::array<QString, kPortNameCount> table;
    return table;
}

} // namespace

void FillLevelTable()
{
    static const char *const episodes[kEpisodeCount - 1][kLevelCount] = {
        { "Episode 1: LA Meltdown", "E1L1 - Hollywood Holocaust", "E1L2 - Red Light District",
          "E1L3 - Prison", "E1L4 - Toxic Dump", "E1L5 - The Abyss", "E1L6 - Launch Facility",
          "E1L7 - Faces Of Death", "", "", "", "" },
        { "Episode 2: Lunar Apocalypse", "E2L1 - Spaceport", "E2L2 - Incubator",
          "E2L3 - Warp Factor", "E2L4 - Fusions Station", "E2L5 - Occupied Territory",
          "E2L6 - Tiberius Station", "E2L7 - Lunar Reactor", "E2L8 - Dark Side", "E2L9 - Overlord",
          "E2L10 - Spin Cycle", "E2L11 - Lunatic Fringe" },
        { "Episode 3: Shrapnel City", "E3L1 - Raw Meat", "E3L2 - Bank Roll", "E3L3 - Flood Zone",
          "E3L4 - L.A.Rumble", "E3L5 - Movie Set", "E3L6 - Rabid Transit", "E3L7 - Fahrenheit",
          "E3L8 - Hotel Hell", "E3L9 - Stadium", "E3L10 - Tier Drops", "E3L11 - Freeway" },
        { "Episode 4: The Birth", "E4L1 - It 's Impossible!", "E4L2 - Duke Burger",
          "E4L3 - Shop - N - Bag", "E4L4 - Babe Land", "E4L5 - Pigsty", "E4L6 - Going Postal",
          "E4L7 - XXX Stacy", "E4L8 - Critical Mass", "E4L9 - Derelict", "E4L10 - The Queen",
          "E4L11 - Area 51" },
    };
    LevelTable &table = levelTable();
    table = {};
    for (int episode = 1; episode < kEpisodeCount; ++episode) {
        for (int level = 0; level < kLevelCount; ++level)
            table[level][episode] = QString::fromLatin1(episodes[episode - 1][level]);
    }
}

void FillCountryTable()
{
    // Sorted by character code, which puts "Côte d'Ivoire" after "Czech Republic".
    countryTable() = {
        QStringLiteral("Afghanistan"),
        QStringLiteral("Albania"),
        QStringLiteral("Algeria"),
        QStringLiteral("Andorra"),
        QStringLiteral("Angola"),
        QStringLiteral("Antigua and Barbuda"),
        QStringLiteral("Argentina"),
        QStringLiteral("Armenia"),
        QStringLiteral("Australia"),
        QStringLiteral("Austria"),
        QStringLiteral("Azerbaijan"),
        QStringLiteral("Bahamas"),
        QStringLiteral("Bahrain"),
        QStringLiteral("Bangladesh"),
        QStringLiteral("Barbados"),
        QStringLiteral("Belarus"),
        QStringLiteral("Belgium"),
        QStringLiteral("Belize"),
        QStringLiteral("Benin"),
        QStringLiteral("Bhutan"),
        QStringLiteral("Bolivia"),
        QStringLiteral("Bosnia and Herzegovina"),
        QStringLiteral("Botswana"),
        QStringLiteral("Brazil"),
        QStringLiteral("Brunei"),
        QStringLiteral("Bulgaria"),
        QStringLiteral("Burkina Faso"),
        QStringLiteral("Burundi"),
        QStringLiteral("Cambodia"),
        QStringLiteral("Cameroon"),
        QStringLiteral("Canada"),
        QStringLiteral("Cape Verde"),
        QStringLiteral("Central African Republic"),
        QStringLiteral("Chad"),
        QStringLiteral("Chile"),
        QStringLiteral("China"),
        QStringLiteral("Colombia"),
        QStringLiteral("Comoros"),
        QStringLiteral("Congo (Brazzaville)"),
        QStringLiteral("Congo, Democratic Republic of the"),
        QStringLiteral("Costa Rica"),
        QStringLiteral("Croatia"),
        QStringLiteral("Cuba"),
        QStringLiteral("Cyprus"),
        QStringLiteral("Czech Republic"),
        QStringLiteral("C\u00f4te d'Ivoire"),
        QStringLiteral("Denmark"),
        QStringLiteral("Djibouti"),
        QStringLiteral("Dominica"),
        QStringLiteral("Dominican Republic"),
        QStringLiteral("East Timor (Timor Timur)"),
        QStringLiteral("Ecuador"),
        QStringLiteral("Egypt"),
        QStringLiteral("El Salvador"),
        QStringLiteral("Equatorial Guinea"),
        QStringLiteral("Eritrea"),
        QStringLiteral("Estonia"),
        QStringLiteral("Ethiopia"),
        QStringLiteral("Fiji"),
        QStringLiteral("Finland"),
        QStringLiteral("France"),
        QStringLiteral("Gabon"),
        QStringLiteral("Gambia, The"),
        QStringLiteral("Georgia"),
        QStringLiteral("Germany"),
        QStringLiteral("Ghana"),
        QStringLiteral("Greece"),
        QStringLiteral("Grenada"),
        QStringLiteral("Guatemala"),
        QStringLiteral("Guinea"),
        QStringLiteral("Guinea-Bissau"),
        QStringLiteral("Guyana"),
        QStringLiteral("Haiti"),
        QStringLiteral("Honduras"),
        QStringLiteral("Hungary"),
        QStringLiteral("Iceland"),
        QStringLiteral("India"),
        QStringLiteral("Indonesia"),
        QStringLiteral("Iran"),
        QStringLiteral("Iraq"),
        QStringLiteral("Ireland"),
        QStringLiteral("Israel"),
        QStringLiteral("Italy"),
        QStringLiteral("Jamaica"),
        QStringLiteral("Japan"),
        QStringLiteral("Jordan"),
        QStringLiteral("Kazakhstan"),
        QStringLiteral("Kenya"),
        QStringLiteral("Kiribati"),
        QStringLiteral("Korea, North"),
        QStringLiteral("Korea, South"),
        QStringLiteral("Kuwait"),
        QStringLiteral("Kyrgyzstan"),
        QStringLiteral("Laos"),
        QStringLiteral("Latvia"),
        QStringLiteral("Lebanon"),
        QStringLiteral("Lesotho"),
        QStringLiteral("Liberia"),
        QStringLiteral("Libya"),
        QStringLiteral("Liechtenstein"),
        QStringLiteral("Lithuania"),
        QStringLiteral("Luxembourg"),
        QStringLiteral("Macedonia, Former Yugoslav Republic of"),
        QStringLiteral("Madagascar"),
        QStringLiteral("Malawi"),
        QStringLiteral("Malaysia"),
        QStringLiteral("Maldives"),
        QStringLiteral("Mali"),
        QStringLiteral("Malta"),
        QStringLiteral("Marshall Islands"),
        QStringLiteral("Mauritania"),
        QStringLiteral("Mauritius"),
        QStringLiteral("Mexico"),
        QStringLiteral("Micronesia, Federated States of"),
        QStringLiteral("Moldova"),
        QStringLiteral("Monaco"),
        QStringLiteral("Mongolia"),
        QStringLiteral("Morocco"),
        QStringLiteral("Mozambique"),
        QStringLiteral("Myanmar"),
        QStringLiteral("Namibia"),
        QStringLiteral("Nauru"),
        QStringLiteral("Nepal"),
        QStringLiteral("Netherlands"),
        QStringLiteral("New Zealand"),
        QStringLiteral("Nicaragua"),
        QStringLiteral("Niger"),
        QStringLiteral("Nigeria"),
        QStringLiteral("Norway"),
        QStringLiteral("Oman"),
        QStringLiteral("Pakistan"),
        QStringLiteral("Palau"),
        QStringLiteral("Panama"),
        QStringLiteral("Papua New Guinea"),
        QStringLiteral("Paraguay"),
        QStringLiteral("Peru"),
        QStringLiteral("Philippines"),
        QStringLiteral("Poland"),
        QStringLiteral("Portugal"),
        QStringLiteral("Qatar"),
        QStringLiteral("Romania"),
        QStringLiteral("Russia"),
        QStringLiteral("Rwanda"),
        QStringLiteral("Saint Kitts and Nevis"),
        QStringLiteral("Saint Lucia"),
        QStringLiteral("Saint Vincent and The Grenadines"),
        QStringLiteral("Samoa"),
        QStringLiteral("San Marino"),
        QStringLiteral("Sao Tome and Principe"),
        QStringLiteral("Saudi Arabia"),
        QStringLiteral("Senegal"),
        QStringLiteral("Serbia and Montenegro"),
        QStringLiteral("Seychelles"),
        QStringLiteral("Sierra Leone"),
        QStringLiteral("Singapore"),
        QStringLiteral("Slovakia"),
        QStringLiteral("Slovenia"),
        QStringLiteral("Solomon Islands"),
        QStringLiteral("Somalia"),
        QStringLiteral("South Africa"),
        QStringLiteral("Spain"),
        QStringLiteral("Sri Lanka"),
        QStringLiteral("Sudan"),
        QStringLiteral("Suriname"),
        QStringLiteral("Swaziland"),
        QStringLiteral("Sweden"),
        QStringLiteral("Switzerland"),
        QStringLiteral("Syria"),
        QStringLiteral("Taiwan"),
        QStringLiteral("Tajikistan"),
        QStringLiteral("Tanzania"),
        QStringLiteral("Thailand"),
        QStringLiteral("Togo"),
        QStringLiteral("Tonga"),
        QStringLiteral("Trinidad and Tobago"),
        QStringLiteral("Tunisia"),
        QStringLiteral("Turkey"),
        QStringLiteral("Turkmenistan"),
        QStringLiteral("Tuvalu"),
        QStringLiteral("Uganda"),
        QStringLiteral("Ukraine"),
        QStringLiteral("United Arab Emirates"),
        QStringLiteral("United Kingdom"),
        QStringLiteral("United States"),
        QStringLiteral("Uruguay"),
        QStringLiteral("Uzbekistan"),
        QStringLiteral("Vanuatu"),
        QStringLiteral("Vatican City"),
        QStringLiteral("Venezuela"),
        QStringLiteral("Vietnam"),
        QStringLiteral("Western Sahara"),
        QStringLiteral("Yemen"),
        QStringLiteral("Zambia"),
        QStringLiteral("Zimbabwe"),
    };
    Q_ASSERT(countryTable().size() == kCountryCount);
}

void FillPortNames()
{
    static const char *const names[]
        = { "Mordane Port", "JFDuke3D Port", "EDuke32", "xDuke's Port" };
    auto &table = portTable();
    table[0].clear();
    for (int i = 1; i < kPortNameCount; ++i)
        table[i] = QString::fromLatin1(names[(i - 1) % 4]);
}

QString LevelNames(int level, int episode)
{
    if (level < 0 || level >= kLevelCount || episode < 0 || episode >= kEpisodeCount)
        return {};
    return levelTable()[level][episode];
}

QString Countries(int index)
{
    return countryTable().value(index);
}

const QStringList &countryList()
{
    return countryTable();
}

QString PortNames(int index)
{
    if (index < 0 || index >= kPortNameCount)
        return {};
    return portTable()[index];
}

} // namespace tables

QString strDifficulty(quint8 difficulty)
{
    switch (difficulty) {
    case 1:
        return QStringLiteral("Piece of Cake");
    case 2:
        return QStringLiteral("Let's Rock");
    case 3:
        return QStringLiteral("Come Get Some");
    case 4:
        return QStringLiteral("Damn I'm Good");
    default:
        break;
    }
    return {};
}

QString strMode(quint8 mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("Deathmatch (Spawn)");
    case 2:
        return QStringLiteral("Deathmatch (No Spawn)");
    case 3:
        return QStringLiteral("Co-Operative");
    default:
        break;
    }
    return {};
}
