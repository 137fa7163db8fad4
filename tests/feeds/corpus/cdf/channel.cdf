<?xml version="1.0"?>
<CHANNEL HREF="http://example.org/index.html" LASTMOD="1998-11-05T22:12" BASE="http://example.org/cdf/">
<TITLE>CDF Channel</TITLE><ABSTRACT>What &amp; why</ABSTRACT>
<LOGO HREF="icon.gif" STYLE="ICON"/><LOGO HREF="wide.gif" STYLE="IMAGE"/>
<ITEM HREF="first.html" LASTMOD="1998-11-05T22:12:00"><TITLE>First item</TITLE><ABSTRACT>Item abstract</ABSTRACT></ITEM>
<CHANNEL HREF="sub.html"><TITLE>Sub channel</TITLE><ITEM HREF="sub1.html"><TITLE>Sub item</TITLE></ITEM><CHANNEL><TITLE>Deeper</TITLE><ITEM HREF="deep.html"><TITLE>Deep item</TITLE></ITEM></CHANNEL></CHANNEL>
</CHANNEL>
