"""Demo channels, first half: news, weather, business and technology.

Every publication, person and place here is invented for the demo content.
Story tuples: (headline, summary, body, sub-channel category or None, enclosure key or None).
"""

CHANNELS_A = [
    {
        "stem": "vantrel-welcome",
        "title": "Vantrel Welcome Desk",
        "format": "rss",
        "folders": [],
        "attrs": {"vantrel:homeServer": "true", "vantrel:required": "true"},
        "created": "2026-01-15",
        "description": "Tips, news and help for Readhall and the Vantrel engine.",
        "byline": "The Vantrel team",
        "stories": [
            ("Welcome to Readhall",
             "Readhall shows the channels you subscribe to, the stories they deliver and the alerts "
             "you define, all in one window.",
             "Pick a channel in the folder list on the left to see its headlines, and click a "
             "headline to read the story in the browser pane below. Unread stories are shown in "
             "bold, so you always know what is new.",
             None, None),
            ("Subscribe to more channels in the Channel Directory",
             "Open the Channel Directory from the navigation bar or the View menu and tick the box "
             "beside any channel you like.",
             "The directory groups channels by category; the New tab shows channels added during "
             "the last week. Double-click a channel you already subscribe to and Readhall opens "
             "its content.",
             None, None),
            ("Let alerts watch the news for you",
             "An alert rule raises a story to your attention when its headline contains the words "
             "you chose.",
             "Define alerts with Alerts on the Tools menu. Every story that triggers a rule appears "
             "in the Alerts window, highlighted in the headline list, until you delete it.",
             None, None),
            ("Read only what is new",
             "View Unread Items Only hides the stories you have already read, in every open "
             "window at once.",
             "Switch it from the View menu or the toolbar. Mark All as Read clears a channel in "
             "one step when you have seen enough of it.",
             None, None),
            ("Keep the stories that matter",
             "Stories come and go as channels update. Keep a story and the engine will hold on to "
             "it until you release it.",
             "Kept stories carry a small padlock in the headline list. Use Keep again to release "
             "a story you no longer need.",
             None, None),
            ("Search across all your channels",
             "The Search window finds words in the headlines, and if you like in the summaries, "
             "of one channel or of all of them.",
             "Type a word, choose where to look and click Find Now. Results stay listed while "
             "you read them, and New Search starts over.",
             None, None),
            ("Make the navigation bar your own",
             "Drag a channel from the folder list or the directory onto the Favorites group to "
             "reach it with a single click.",
             "Right-click a group header to add, rename or delete groups. The bar remembers the "
             "group and item you used last.",
             None, None),
            ("Working offline",
             "Download Story fetches a story's full content so that you can read it later "
             "without a connection.",
             "A small down arrow on the story's icon shows that a local copy is ready. Suspend "
             "Downloading on the Tools menu pauses the engine when you need the bandwidth.",
             None, None),
            ("Keyboard shortcuts worth knowing",
             "Press Enter to open the selected story, Space to see its summary and Delete to "
             "remove the selected stories.",
             "Escape closes a summary pop-up. The Help Contents page lists every key the lists "
             "understand, along with the commands of each menu.",
             None, None),
            ("Where your settings live",
             "Readhall keeps its layout and view settings in a small text file in your "
             "configuration folder.",
             "You will find it as Vantrel/user.reg in your configuration folder, usually "
             "~/.config. It is safe to read; close Readhall before you edit it by hand.",
             None, None),
        ],
    },
    {
        "stem": "harbour-gazette",
        "title": "The Harbour Gazette",
        "format": "rss",
        "folders": ["News", "Local"],
        "attrs": {},
        "created": "2025-08-02",
        "description": "Daily news from the town of Port Elswick and the villages of the Merrow estuary.",
        "byline": "Gazette staff",
        "stories": [
            ("Storm warning closes the ferry to Saltmarsh Island",
             "The harbour master suspended the island ferry until Tuesday as a winter storm "
             "approaches the estuary.",
             "Islanders have been advised to stock up on essentials. The council's emergency "
             "boat remains on call for medical trips.",
             "Local/Transport", None),
            ("New footbridge over the Merrow opens to walkers",
             "The long-awaited footbridge between Quay Street and the old rope works opened on "
             "Saturday morning with a brass band and hot chestnuts.",
             "The bridge shortens the walk from the station to the market by ten minutes. "
             "Cyclists are asked to dismount while crossing.",
             "Local/Transport", None),
            ("Fish market to stay open on Sundays through the winter",
             "Traders voted to keep the Sunday market running after a record autumn season.",
             "Stallholders say visitors from the city now make up a third of their customers. "
             "The market will open an hour later, at nine, from January.",
             "Local/Business", None),
            ("Library reading room restored after leak",
             "The Carnegie reading room has reopened after six weeks of repairs to its glass "
             "roof.",
             "Volunteers cleaned and dried more than four hundred books by hand. Only a handful "
             "of old maps could not be saved.",
             "Local/Community", None),
            ("Lifeboat crew rescues two sailors off Gannet Point",
             "Two yachtsmen were brought ashore safely after their mast broke in rising winds.",
             "The crew reached the yacht within twenty minutes of the call. Both sailors were "
             "cold but unhurt, the station's coxswain said.",
             "Local/Community", None),
            ("Council approves plan for harbour-side housing",
             "Eighty homes will be built on the site of the former coal yard, a quarter of them "
             "for rent at below market rates.",
             "Work is due to start in the spring. Residents asked for the historic crane to be "
             "kept, and the developer has agreed.",
             "Local/Planning", None),
            ("School choir heads to the national finals",
             "Elswick Primary's choir of thirty-two children won the regional round with a sea "
             "shanty medley.",
             "Parents are raising money for the coach trip with a bake sale at the town hall "
             "this weekend.",
             "Local/Community", None),
            ("Gale brings down trees on the coast road",
             "Overnight gusts of up to seventy miles an hour blocked the coast road in three "
             "places.",
             "Crews cleared the road by mid-morning. Drivers are asked to take care, as more "
             "branches may fall in the coming days.",
             "Local/Transport", None),
            ("Twin town visit brings a taste of Brittany to the quay",
             "Visitors from our twin town of Saint-Aubrac filled the quay with crêpe stalls and "
             "accordion music.",
             "The visit marks thirty years of friendship between the two ports. A return trip is "
             "planned for the summer.",
             "Local/Europe", None),
            ("Lighthouse keeper's cottage becomes a small museum",
             "The cottage at Gannet Point, empty for two decades, now tells the story of the "
             "keepers who lived there.",
             "Opening hours are ten till four at weekends. Entry is free, and children can climb "
             "to the lamp room with an adult.",
             "Local/Community", None),
            ("Parking charges on the seafront to rise in April",
             "The council will add fifty pence to the hourly charge to pay for new lighting along "
             "the promenade.",
             "Residents' permits will not change. A consultation on evening charges closes at "
             "the end of the month.",
             "Local/Planning", None),
            ("Christmas lights switched on by the oldest fisherman in town",
             "Ninety-four-year-old Walter Pryce flicked the switch as hundreds gathered on the "
             "market square.",
             "Mr Pryce first went to sea at fourteen. He said the lights looked almost as good as "
             "the harbour on a clear night.",
             "Local/Community", None),
        ],
    },
    {
        "stem": "meridian-wire",
        "title": "Meridian Wire",
        "format": "atom",
        "folders": ["News", "World"],
        "attrs": {},
        "created": "2024-11-20",
        "description": "World news in brief, around the clock.",
        "byline": "Meridian Wire correspondents",
        "stories": [
            ("Leaders of river nations agree to share flood data",
             "Seven countries along the Varna river signed an agreement to share water-level "
             "readings every hour.",
             "Engineers say the data could give towns downstream an extra day to prepare for "
             "floods. The first stations will report from March.",
             "World/Europe", None),
            ("Island nation opens its first solar-powered airport",
             "The new terminal on Talaveu runs entirely on panels covering its car park and "
             "roof.",
             "Officials hope the project will halve the island's fuel imports within five "
             "years.",
             "World/Pacific", None),
            ("Ancient shipwreck found intact off the coast of Corvanne",
             "Divers discovered a merchant ship more than two thousand years old, its cargo of "
             "clay jars still in rows.",
             "Archaeologists believe the ship carried olive oil and wine. Parts of the cargo will "
             "be raised next summer.",
             "World/Europe", None),
            ("Grain harvest beats forecasts across the northern plains",
             "Farmers reported yields a fifth higher than last year after a mild and wet "
             "autumn.",
             "Lower grain prices could ease food costs in the spring, economists said, though "
             "storage remains tight.",
             "World/Americas", None),
            ("Mountain rail tunnel completed after eleven years",
             "Crews broke through the final rock wall of the Aldor base tunnel, the longest in "
             "the region.",
             "Passenger trains are expected to run from late next year, cutting the journey "
             "between the two valleys to forty minutes.",
             "World/Europe", None),
            ("Coastal cities plan joint defence against rising seas",
             "Mayors of twelve port cities will pool money for sea walls, wetlands and early "
             "warning systems.",
             "The plan, agreed at a two-day meeting, will be put to city councils in the new "
             "year.",
             "World/Asia", None),
            ("Record number of students study abroad",
             "More than six million students are now enrolled at universities outside their home "
             "countries.",
             "Language courses and shorter exchange programmes account for much of the growth, "
             "the report says.",
             None, None),
            ("Desert town turns fog into drinking water",
             "Nets strung along the hills above Qasr Amun now catch enough water for three "
             "hundred homes.",
             "The mesh collects droplets from the morning fog. Similar nets are being tested in "
             "two neighbouring provinces.",
             "World/Africa", None),
            ("Storm season ends quieter than expected",
             "Forecasters counted nine named storms this year, fewer than the fifteen they had "
             "predicted.",
             "Cooler sea temperatures in late summer kept several systems from strengthening, "
             "the weather service said.",
             "World/Americas", None),
            ("Museum returns carved doors to their village of origin",
             "Two wooden doors taken more than a century ago have been handed back at a ceremony "
             "attended by the whole village.",
             "The doors will hang in a new community hall built to keep them safe from damp.",
             "World/Africa", None),
            ("High-speed ferry links two capitals in under three hours",
             "The new service cuts the crossing time by half and carries up to eight hundred "
             "passengers.",
             "Tickets sold out for the first week. The operator plans a second vessel for the "
             "summer timetable.",
             "World/Europe", None),
            ("Reforestation project passes one billion trees",
             "Volunteers and farmers planted the billionth sapling of a ten-year programme to "
             "restore dry grassland.",
             "Survival rates have risen since villages were paid to care for the young trees "
             "through their first two summers.",
             "World/Asia", None),
            ("Astronomers name comet after schoolgirl who spotted it",
             "A twelve-year-old amateur astronomer found the faint comet in photographs from her "
             "school's telescope.",
             "It is expected to be visible with binoculars in February, low in the western sky "
             "after sunset.",
             None, None),
        ],
    },
    {
        "stem": "skyward-weather",
        "title": "Skyward Weather Desk",
        "format": "rss",
        "folders": ["News", "Weather"],
        "attrs": {},
        "created": "2025-03-10",
        "description": "Forecasts, warnings and weather stories from the Skyward team.",
        "byline": "Skyward forecasters",
        "stories": [
            ("Storm Isolde to bring gales and heavy rain on Monday",
             "The second named storm of the season will reach western coasts early on Monday "
             "with gusts of up to eighty miles an hour.",
             "Flooding is possible in low-lying areas. Travel will be disrupted, and coastal "
             "paths should be avoided.",
             None, None),
            ("Frosty nights ahead as high pressure settles in",
             "Clear skies will let temperatures fall below freezing in most inland towns this "
             "week.",
             "Gardeners should protect tender plants. Fog may linger until late morning in "
             "sheltered valleys.",
             None, None),
            ("Why December sunsets come early but mornings stay dark",
             "The earliest sunset of the year arrives before the shortest day; the latest sunrise "
             "comes after it.",
             "The reason is the tilt of the Earth and the shape of its orbit, which shift solar "
             "noon a little later each day in December.",
             None, None),
            ("Snow likely on high ground by the weekend",
             "A cold northerly flow will bring wintry showers, with snow settling above three "
             "hundred metres.",
             "Roads over the moors may be affected on Saturday morning. Lower areas will see "
             "sleet at times.",
             None, None),
            ("November was the wettest in twenty years",
             "Rain gauges across the region recorded almost twice the usual monthly total.",
             "Rivers remain high, and the ground is saturated, so further rain could quickly lead "
             "to flooding.",
             None, None),
            ("How to read a weather map",
             "Isobars, fronts and pressure centres tell you a great deal once you know what to "
             "look for.",
             "Tightly packed isobars mean strong winds; a cold front often brings a short burst "
             "of heavy rain followed by brighter, cooler air.",
             None, None),
            ("Mild spell brings spring flowers out early",
             "Readers have sent photographs of primroses and daffodils in bloom weeks ahead of "
             "time.",
             "The mild air is expected to last until Thursday, when a colder change arrives from "
             "the north.",
             None, None),
            ("Gale warning for the Channel coast tonight",
             "Southwesterly winds will strengthen after dark, with severe gales possible around "
             "exposed headlands.",
             "Ferry crossings may be cancelled. The wind will ease through Wednesday morning.",
             None, None),
            ("Weekend outlook: bright and breezy",
             "Saturday will be the better day, with sunshine and just a few showers in the west.",
             "Sunday turns cloudier with rain arriving from the Atlantic later in the afternoon.",
             None, None),
            ("Ask the forecaster: can it be too cold to snow?",
             "Not quite, but very cold air holds little moisture, so heavy snow is more likely "
             "near freezing.",
             "The biggest snowfalls in our region have come with temperatures just below zero "
             "and moist air from the sea.",
             None, None),
        ],
    },
    {
        "stem": "ledger-street",
        "title": "Ledger Street Markets",
        "format": "rss",
        "folders": ["Business", "Markets"],
        "attrs": {},
        "created": "2025-05-18",
        "description": "Markets, shares, bonds and currencies, explained without the jargon.",
        "byline": "Ledger Street desk",
        "stories": [
            ("Halden Shipping share price jumps on new contracts",
             "Shares in Halden Shipping rose eleven percent after the firm won three long-term "
             "freight contracts.",
             "Analysts said the deals secure most of the fleet's capacity for the next two years.",
             "Stocks", None),
            ("Oil price slips as stockpiles grow",
             "Crude fell for a third day as inventories rose more than traders expected.",
             "Milder weather has also cut demand for heating oil in the northern hemisphere.",
             "Commodities", None),
            ("Central bank holds rates steady for a fourth month",
             "Policymakers left the base rate unchanged but signalled a cut could come in the "
             "spring.",
             "Inflation has eased to just above the bank's target, helped by lower energy costs.",
             "Bonds", None),
            ("Brightwater Foods raises its dividend",
             "The grocer will pay shareholders eight percent more after a strong holiday "
             "season.",
             "Its shares rose two percent in early trading before settling back.",
             "Stocks", None),
            ("Why the price of copper matters for your pension",
             "Copper is used in almost everything electric, so its price says a lot about the "
             "health of industry.",
             "Many pension funds hold mining shares, which tend to rise and fall with metal "
             "prices.",
             "Commodities", None),
            ("Currency markets calm ahead of year-end",
             "The major currencies traded in narrow ranges as banks closed their books for the "
             "year.",
             "Trading volumes are expected to stay low until the second week of January.",
             "Currencies", None),
            ("Tech index reaches a record high",
             "The technology index closed at its highest level ever, led by chip designers and "
             "cloud providers.",
             "Some investors warned that valuations look stretched after a year of strong gains.",
             "Stocks", None),
            ("Government bond yields fall after soft jobs report",
             "Yields on ten-year bonds dropped as fewer jobs were added last month than "
             "expected.",
             "Lower yields make borrowing cheaper for companies and homebuyers.",
             "Bonds", None),
            ("Gold price steadies after a volatile week",
             "Gold settled near its monthly average after swinging sharply on Tuesday and "
             "Wednesday.",
             "Buyers in the jewellery trade returned as prices dipped, dealers said.",
             "Commodities", None),
            ("Mercer Rail shares fall on delayed train deliveries",
             "The train maker said new carriages for two operators would arrive three months "
             "late.",
             "Its share price fell six percent. The company expects to make up the delay next "
             "year.",
             "Stocks", None),
            ("Five questions to ask before buying your first shares",
             "How long can you leave the money invested? What happens if prices fall by a "
             "third?",
             "Spreading money across many companies, and keeping costs low, matters more than "
             "picking winners.",
             None, None),
            ("Small firms report rising orders for the new year",
             "A survey of eight hundred small businesses found most expect higher sales in the "
             "first quarter.",
             "Hiring plans are modest, with most firms intending to keep staff numbers steady.",
             None, None),
            ("Housing market cools as price growth slows",
             "Average house prices rose just one percent over the year, the smallest rise in "
             "four years.",
             "Buyers are taking longer to decide, agents said, and more are negotiating on price.",
             None, None),
        ],
    },
    {
        "stem": "tidewater-bulletin",
        "title": "Tidewater Staff Bulletin",
        "format": "atom",
        "folders": ["Business", "Company"],
        "attrs": {"vantrel:secure": "true"},
        "created": "2026-02-01",
        "description": "Internal news for the staff of Tidewater Logistics (secure channel).",
        "byline": "Internal communications",
        "stories": [
            ("Holiday rota for the distribution centres",
             "The rota for the weeks around the new year is now final; please check your shifts.",
             "Swaps can be arranged with your team leader until the fifteenth. The attached "
             "document lists every site.",
             None, "pdf"),
            ("Updated staff handbook published",
             "The new handbook brings together our policies on leave, travel and working from "
             "home.",
             "The main changes are summarised on the first page. Please read them before the end "
             "of the month.",
             None, "pdf"),
            ("Northgate depot wins the safety award",
             "The Northgate team completed a full year without a single reportable accident.",
             "A celebration lunch will be held at the depot on Friday. Congratulations to "
             "everyone involved.",
             None, None),
            ("New route planning system goes live in January",
             "Drivers will receive their routes on the new tablets from the second week of "
             "January.",
             "Training sessions run every morning next week. Book a place through your depot "
             "office.",
             None, "pdf"),
            ("Canteen menu goes seasonal",
             "The canteens at all three sites will offer a winter menu with more hot dishes and "
             "soups.",
             "Suggestions for new dishes are welcome; a box has been placed next to each till.",
             None, None),
            ("Annual staff survey: the results",
             "Eighty-one percent of staff took part, and most said they would recommend Tidewater "
             "as a place to work.",
             "Communication between shifts was the area most often named for improvement. A "
             "working group will report in March.",
             None, "pdf"),
            ("Car park resurfacing at head office",
             "The east car park will be closed for resurfacing from the eighth to the twelfth.",
             "Extra spaces are available at the leisure centre across the road, with a shuttle "
             "every fifteen minutes.",
             None, None),
            ("Welcome to our new apprentices",
             "Twelve apprentices joined the engineering and warehouse teams this month.",
             "Each has been paired with a mentor. Please make them welcome if you meet them on "
             "site.",
             None, None),
            ("Charity drive raises a record sum",
             "Staff raised more than twenty thousand for the coastal rescue service through "
             "runs, raffles and cake sales.",
             "Thank you to everyone who took part, and especially to the Southport team who "
             "cycled between all three depots.",
             None, None),
            ("Reminder: security passes must be worn at all times",
             "Please wear your pass where it can be seen, including in the yard and loading bays.",
             "Lost passes should be reported to reception straight away so that they can be "
             "cancelled.",
             None, None),
        ],
    },
    {
        "stem": "circuit-notes",
        "title": "Circuit Notes",
        "format": "atom",
        "folders": ["Technology"],
        "attrs": {"vantrel:filter": "battery chip"},
        "created": "2025-09-09",
        "description": "Gadgets, chips and batteries: technology news for the curious.",
        "byline": "Circuit Notes",
        "stories": [
            ("New battery chemistry promises phones that last a week",
             "Researchers at the Linwood Institute built a cell that stores forty percent more "
             "energy in the same space.",
             "The design replaces part of the graphite with silicon. Production models are at "
             "least three years away.",
             "Batteries", None),
            ("A chip the size of a grain of rice runs a whole weather station",
             "The tiny controller measures temperature, humidity and pressure and sends readings "
             "by radio.",
             "It runs for two years on a coin cell, its designers say, which makes it useful on "
             "remote hillsides.",
             "Chips", None),
            ("Repair-friendly laptop goes on sale",
             "Every part of the Fenwick 14, from the screen to the keyboard, can be replaced with "
             "one screwdriver.",
             "Spare parts are sold at cost, and the maker publishes repair guides for each one.",
             "Gadgets", None),
            ("How to make your battery last longer",
             "Keeping a battery between twenty and eighty percent full can double its useful "
             "life.",
             "Heat is the biggest enemy. Avoid charging a phone under a pillow or in a hot car.",
             "Batteries", None),
            ("Open-source chip design tools reach version one",
             "A community project released free tools that can take a chip design all the way "
             "to manufacture.",
             "Universities have already used them to build working test chips for teaching.",
             "Chips", None),
            ("E-ink tablets get colour screens",
             "Three makers announced tablets with colour e-ink displays that are readable in "
             "direct sunlight.",
             "Colours are softer than on a phone screen, but battery life is measured in weeks.",
             "Gadgets", None),
            ("Why your old charger might still be the best one",
             "Chargers that follow the common standard work with almost every new phone and "
             "laptop.",
             "Buying a new one is only worth it if you need more power for a larger laptop.",
             "Gadgets", None),
            ("Recycling plant recovers ninety-five percent of battery metals",
             "A new plant can take apart used batteries and recover lithium, nickel and cobalt.",
             "The recovered metals are pure enough to be made into new batteries.",
             "Batteries", None),
            ("Smart thermostat review: simple beats clever",
             "We tested five thermostats; the one with the fewest features saved the most "
             "energy.",
             "Clear schedules that people actually use matter more than automatic learning, our "
             "tests suggest.",
             "Gadgets", None),
            ("Chip makers turn to glass for faster connections",
             "Glass layers inside chip packages could carry signals faster and waste less power.",
             "The first products using the technique are expected in data centres later this "
             "decade.",
             "Chips", None),
            ("Quiet keyboards are having a moment",
             "Keyboards with dampened switches are the surprise hit of the year in shared "
             "offices.",
             "Typists say they feel just as crisp as louder models without annoying neighbours.",
             "Gadgets", None),
        ],
    },
]
