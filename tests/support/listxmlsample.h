// A small "-listxml" answer in the form of Debian's mame 0.251, for the catalogue's tests: a BIOS
// with its sets, a device that cannot run, a parent and its clone, a game on that BIOS with a
// feature note, one with a disk, two screens and two kinds of controls, an escaped title, and a
// mechanical one. Eight machines.
#pragma once

#include <QByteArray>

namespace ListXmlSample {

inline QByteArray head()
{
    return "<?xml version=\"1.0\"?>\n"
           "<!DOCTYPE mame [\n"
           "<!ELEMENT mame (machine+)>\n"
           "\t<!ATTLIST mame build CDATA #IMPLIED>\n"
           "\t<!ELEMENT machine (description, year?, manufacturer?, rom*, disk*)>\n"
           "\t\t<!ATTLIST machine name CDATA #REQUIRED>\n"
           "\t\t<!ATTLIST machine runnable (yes|no) \"yes\">\n"
           "]>\n\n"
           "<mame build=\"0.251 (unknown)\" debug=\"no\" mameconfig=\"10\">\n";
}

// The machines, each on its own lines; the fifth starts at machine(4).
inline QByteArray machines()
{
    return R"xml(	<machine name="neogeo" sourcefile="neogeo/neogeo.cpp" isbios="yes">
		<description>Neo-Geo MV-6F</description>
		<year>1990</year>
		<manufacturer>SNK</manufacturer>
		<biosset name="euro" description="Europe MVS (Ver. 2)" default="yes"/>
		<biosset name="japan" description="Japan MVS (Ver. 3)"/>
		<rom name="sp-s2.sp1" bios="euro" size="131072" crc="9036d879" sha1="4f5ed7105b7128794654ce82b51723e16e389543" region="mainbios" offset="0"/>
		<device_ref name="z80"/>
		<driver status="good" emulation="good" savestate="supported"/>
	</machine>
	<machine name="z80" sourcefile="cpu/z80/z80.cpp" isdevice="yes" runnable="no">
		<description>Zilog Z80</description>
	</machine>
	<machine name="puckman" sourcefile="pacman/pacman.cpp">
		<description>Puck Man (Japan set 1)</description>
		<year>1980</year>
		<manufacturer>Namco</manufacturer>
		<rom name="pm1_prg1.6e" size="2048" crc="f36e88ab" sha1="813cecf44bf5464b1aed64b36f5047e4c79ba176" region="maincpu" offset="0"/>
		<rom name="pm1-4.4a" size="256" status="nodump" region="proms" offset="0"/>
		<device_ref name="z80"/>
		<chip type="cpu" tag="maincpu" name="Zilog Z80" clock="3072000"/>
		<display tag="screen" type="raster" rotate="90" width="288" height="224" refresh="60.606061" />
		<input players="2" coins="2">
			<control type="joy" player="1" ways="4"/>
			<control type="joy" player="2" ways="4"/>
		</input>
		<driver status="good" emulation="good" savestate="supported"/>
	</machine>
	<machine name="pacman" sourcefile="pacman/pacman.cpp" cloneof="puckman" romof="puckman">
		<description>Pac-Man (Midway)</description>
		<year>1980</year>
		<manufacturer>Namco (Midway license)</manufacturer>
		<rom name="pacman.6e" size="4096" crc="c1e6ab10" sha1="e87e059c5be45753f7e9f33dff851f16d6751181" region="maincpu" offset="0"/>
		<rom name="pm1_prg1.6e" merge="pm1_prg1.6e" size="2048" crc="f36e88ab" sha1="813cecf44bf5464b1aed64b36f5047e4c79ba176" region="maincpu" offset="1000"/>
		<device_ref name="z80"/>
		<display tag="screen" type="raster" rotate="90" width="288" height="224" refresh="60.606061" />
		<input players="2" coins="2">
			<control type="joy" player="1" ways="4"/>
		</input>
		<driver status="good" emulation="good" savestate="supported"/>
	</machine>
	<machine name="kof98" sourcefile="neogeo/neogeo.cpp" romof="neogeo">
		<description>The King of Fighters &apos;98 (NGM-2420)</description>
		<year>1998</year>
		<manufacturer>SNK</manufacturer>
		<rom name="242-pn1.p1" size="2097152" crc="61ac868a" sha1="26577264aa72d6af272952a876fcd3775f53e3fa" region="cslot1:maincpu" offset="0"/>
		<display tag="screen" type="raster" rotate="0" width="320" height="224" refresh="59.185606" />
		<input players="2" coins="2">
			<control type="joy" player="1" buttons="4" ways="8"/>
		</input>
		<driver status="imperfect" emulation="good" savestate="supported"/>
		<feature type="protection" status="imperfect"/>
	</machine>
	<machine name="area51" sourcefile="atari/jaguar.cpp">
		<description>Area 51 (R3000)</description>
		<year>1996</year>
		<manufacturer>Atari Games</manufacturer>
		<rom name="area51.bin" size="1024" crc="00000001" region="maincpu" offset="0" optional="yes"/>
		<disk name="area51" sha1="3b303bc37e206a6d7339352c869f050d04186f11" region="ide:0:hdd" index="0" writable="no"/>
		<display tag="screen" type="raster" rotate="0" refresh="60.000000" />
		<display tag="second" type="vector" rotate="90" refresh="60.000000" />
		<input players="2" coins="2">
			<control type="lightgun" player="1" buttons="1"/>
			<control type="joy" player="1" buttons="2" ways="8"/>
			<control type="lightgun" player="2" buttons="1"/>
		</input>
		<driver status="preliminary" emulation="preliminary" savestate="unsupported"/>
		<feature type="sound" status="unemulated"/>
		<feature type="graphics" overall="imperfect"/>
	</machine>
	<machine name="tomjerry" sourcefile="atari/atarisy1.cpp">
		<description>Tom &amp; Jerry &#8211; Yankee Doodle&#10;Edition</description>
		<year>198?</year>
		<manufacturer>Atari &amp; Co.</manufacturer>
		<driver status="good" emulation="good" savestate="supported"/>
	</machine>
	<machine name="18w" sourcefile="midway/mw18w.cpp" ismechanical="yes">
		<description>18 Wheeler (set 1)</description>
		<year>1979</year>
		<manufacturer>Midway</manufacturer>
		<driver status="preliminary" emulation="good" savestate="supported"/>
	</machine>
)xml";
}

inline QByteArray tail()
{
    return "</mame>\n";
}

inline QByteArray full()
{
    return head() + machines() + tail();
}

// The answer up to the start of machine `n` (0 on), and then a few bytes into it.
inline QByteArray cutInMachine(int n)
{
    const QByteArray all = full();
    qsizetype at = 0;
    for (int i = 0; i <= n; ++i)
        at = all.indexOf("<machine ", at + 1);
    return all.left(at + 20);
}

} // namespace ListXmlSample
