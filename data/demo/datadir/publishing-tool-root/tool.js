// The publishing tool's shared code: the draft channel kept while the pages change, checks
// of what the person typed, and the RSS 2.0 file made from the draft. Everything stays on
// this computer: nothing is sent anywhere.
"use strict";

var PublishingTool = (function () {
  var KEY = "vantrel-publishing-draft";

  function emptyDraft() {
    return { channel: { title: "", link: "", description: "" }, stories: [] };
  }

  // The draft lives in the session storage of these pages; where that is not offered, in
  // the window's name, which also survives going from page to page.
  function readStore() {
    try {
      if (window.sessionStorage) return window.sessionStorage.getItem(KEY);
    } catch (e) { /* fall through */ }
    return window.name.indexOf(KEY + "=") === 0 ? window.name.substring(KEY.length + 1) : null;
  }

  function writeStore(text) {
    try {
      if (window.sessionStorage) {
        if (text === null) window.sessionStorage.removeItem(KEY);
        else window.sessionStorage.setItem(KEY, text);
        return;
      }
    } catch (e) { /* fall through */ }
    window.name = text === null ? "" : KEY + "=" + text;
  }

  function load() {
    var text = readStore();
    if (!text) return emptyDraft();
    try {
      var draft = JSON.parse(text);
      if (!draft || typeof draft !== "object" || !Array.isArray(draft.stories)) return emptyDraft();
      draft.channel = draft.channel || { title: "", link: "", description: "" };
      return draft;
    } catch (e) {
      return emptyDraft();
    }
  }

  function save(draft) { writeStore(JSON.stringify(draft)); }
  function clear() { writeStore(null); }

  // Text for an XML document: escaped, and without the control characters XML forbids.
  function xml(text) {
    return String(text || "")
      .replace(/[\u0000-\u0008\u000B\u000C\u000E-\u001F\uFFFE\uFFFF]/g, "")
      .replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
      .replace(/"/g, "&quot;").replace(/'/g, "&apos;");
  }

  // Text for HTML shown on these pages.
  function html(text) {
    return String(text || "").replace(/&/g, "&amp;").replace(/</g, "&lt;")
      .replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  // Only web addresses are accepted as links: readers open them, so nothing that would run
  // a script or reach their own files.
  function isWebAddress(text) {
    return /^https?:\/\/[^\s\/?#]+[^\s]*$/i.test(text);
  }

  // A category is a path of names separated by "/", such as "Sports/Sailing".
  function cleanCategory(text) {
    return String(text || "").split("/").map(function (part) { return part.trim(); })
      .filter(function (part) { return part.length > 0; }).join("/");
  }

  // A file name from the channel's name: "Elswick Rowing Club" gives "elswick-rowing-club.xml".
  function fileName(title) {
    var slug = String(title || "").toLowerCase().replace(/[^a-z0-9]+/g, "-")
      .replace(/^-+|-+$/g, "").substring(0, 60);
    return (slug || "channel") + ".xml";
  }

  function feed(draft) {
    var now = new Date().toUTCString();
    var c = draft.channel;
    var lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<rss version="2.0">', "<channel>",
      "  <title>" + xml(c.title) + "</title>",
      "  <link>" + xml(c.link) + "</link>",
      "  <description>" + xml(c.description) + "</description>",
      "  <lastBuildDate>" + now + "</lastBuildDate>",
      "  <generator>Vantrel Publishing Wizard</generator>"];
    draft.stories.forEach(function (s) {
      lines.push("  <item>");
      lines.push("    <title>" + xml(s.headline) + "</title>");
      if (s.link) lines.push("    <link>" + xml(s.link) + "</link>");
      // A description is HTML: the summary's own text is escaped for HTML first.
      lines.push("    <description>" + xml(html(s.summary)) + "</description>");
      if (s.category) lines.push("    <category>" + xml(s.category) + "</category>");
      lines.push("    <pubDate>" + new Date(s.written).toUTCString() + "</pubDate>");
      lines.push('    <guid isPermaLink="false">' + xml(s.id) + "</guid>");
      lines.push("  </item>");
    });
    lines.push("</channel>", "</rss>", "");
    return lines.join("\n");
  }

  // Marks the steps bar: the steps before `current` done, `current` on.
  function markSteps(current) {
    for (var i = 1; i <= 3; i++) {
      var step = document.getElementById("step" + i);
      if (step) step.className = i < current ? "done" : (i === current ? "on" : "");
    }
  }

  // Asks before the channel and its stories are thrown away.
  function confirmDiscard() {
    return window.confirm("Throw away this channel and the stories written so far?");
  }

  function newStoryId() {
    return "urn:vantrel-publishing:" + Date.now().toString(36) + "-" +
      Math.floor(Math.random() * 1e9).toString(36);
  }

  return { load: load, save: save, clear: clear, confirmDiscard: confirmDiscard,
           xml: xml, html: html, feed: feed,
           isWebAddress: isWebAddress, cleanCategory: cleanCategory, fileName: fileName,
           markSteps: markSteps, newStoryId: newStoryId };
})();
