// The result on a map: the job site, every listed site numbered with its
// rank and coloured as the result grid colours it, the line to the selected
// site and the 60 km search circle. The window pushes the whole state with
// velmoraMap.show(); markers are kept by site and only moved, recoloured or
// relabelled, so a recalculation never rebuilds the map. A click on a marker
// is reported on the console, which the window listens to.
"use strict";

var velmoraMap = (function () {
  var map = null;
  var tiles = null;
  var tileState = { loaded: 0, failed: 0 };
  var jobMarker = null;
  var circle = null;
  var line = null;
  var markers = {};   // key -> { marker, site }
  var lastJob = null; // "lat,lon" of the job site last fitted to
  var state = null;

  function escapeHtml(text) {
    return String(text).replace(/[&<>"']/g, function (c) {
      return { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" }[c];
    });
  }

  function showTileNote() {
    document.getElementById("tileNote").hidden = !(tileState.failed > 0 && tileState.loaded === 0);
  }

  function init(settings) {
    map = L.map("map", { zoomControl: true, attributionControl: true });
    map.attributionControl.setPrefix("Leaflet");
    if (settings.tiles) {
      tiles = L.tileLayer(settings.tiles, {
        attribution: escapeHtml(settings.attribution || ""), minZoom: 5, maxZoom: 18
      });
      tiles.on("tileload", function () { tileState.loaded++; showTileNote(); });
      tiles.on("tileerror", function () { tileState.failed++; showTileNote(); });
      tiles.addTo(map);
    } else {
      tileState.failed = 1;
      showTileNote();
    }
    L.control.scale({ imperial: false, maxWidth: 150 }).addTo(map);
    map.setView([34.73, 136.51], 9);
    document.getElementById("emptyNote").hidden = false;
  }

  function siteIcon(site, selected) {
    var label = site.rank > 0 ? String(site.rank) : "－";
    return L.divIcon({
      className: "site-icon",
      iconSize: [26, 26],
      iconAnchor: [13, 13],
      html: '<div class="site-pin' + (selected ? " selected" : "") + '" style="background:' + site.colour +
            '" data-key="' + escapeHtml(site.key) + '">' + label + "</div>"
    });
  }

  function tipHtml(text) {
    return escapeHtml(text);
  }

  function markerFor(site) {
    var m = L.marker([site.lat, site.lon], { icon: siteIcon(site, false), riseOnHover: true });
    m.bindTooltip(tipHtml(site.tip), { direction: "top", offset: [0, -12] });
    m.on("click", function () {
      var entry = markers[site.key];
      console.log("velmora-map:select:" + entry.site.position);
    });
    m.addTo(map);
    return m;
  }

  function show(s) {
    state = s;
    document.getElementById("emptyNote").hidden = !!s.job;
    if (!s.job)
      return;
    var job = [s.job.lat, s.job.lon];
    if (!jobMarker) {
      jobMarker = L.marker(job, {
        icon: L.divIcon({ className: "job-icon", iconSize: [22, 22], iconAnchor: [11, 11],
                          html: '<div class="job-pin"><span>現</span></div>' }),
        zIndexOffset: 1000
      }).addTo(map);
      jobMarker.bindTooltip(escapeHtml(s.job.tip), { direction: "top", offset: [0, -10] });
      circle = L.circle(job, { radius: s.radiusMetres, color: "#1f4fbf", weight: 2, dashArray: "8 6", fill: false,
                               interactive: false }).addTo(map);
      line = L.polyline([job, job], { color: "#0050ff", weight: 3, interactive: false }).addTo(map);
    }
    jobMarker.setLatLng(job);
    jobMarker.setTooltipContent(escapeHtml(s.job.tip));
    circle.setLatLng(job);
    circle.setRadius(s.radiusMetres);

    var seen = {};
    s.sites.forEach(function (site) {
      seen[site.key] = true;
      var entry = markers[site.key];
      if (!entry) {
        entry = markers[site.key] = { marker: markerFor(site), site: site, icon: "" };
      }
      var selected = site.position === s.selected;
      var look = site.rank + "|" + site.colour + "|" + selected;
      if (entry.icon !== look) {
        entry.marker.setIcon(siteIcon(site, selected));
        entry.icon = look;
      }
      entry.marker.setLatLng([site.lat, site.lon]);
      entry.marker.setTooltipContent(tipHtml(site.tip));
      entry.marker.setZIndexOffset(selected ? 900 : (site.rank > 0 ? 500 - site.rank : 0));
      entry.site = site;
    });
    Object.keys(markers).forEach(function (key) {
      if (!seen[key]) {
        map.removeLayer(markers[key].marker);
        delete markers[key];
      }
    });

    var target = s.sites.filter(function (site) { return site.position === s.selected; })[0];
    line.setLatLngs(target ? [job, [target.lat, target.lon]] : [job, job]);

    // A new job site: the view takes in the job site and every site (the
    // circle may reach beyond it); a recalculation keeps the estimator's view.
    var jobKey = job.join(",");
    if (jobKey !== lastJob) {
      lastJob = jobKey;
      var bounds = L.latLngBounds([job, job]);
      s.sites.forEach(function (site) { bounds.extend([site.lat, site.lon]); });
      if (s.sites.length === 0)
        bounds = circle.getBounds();
      map.fitBounds(bounds, { padding: [40, 40], maxZoom: 14 });
    }
  }

  // What is drawn, for the window's checks: every site marker with its
  // label, fill and whether it is the selected one, and the line's ends.
  function drawn() {
    var sites = Object.keys(markers).map(function (key) {
      var el = markers[key].marker.getElement();
      var pin = el ? el.querySelector(".site-pin") : null;
      return { key: key, position: markers[key].site.position, label: pin ? pin.textContent : "",
               colour: pin ? getComputedStyle(pin).backgroundColor : "",
               selected: pin ? pin.classList.contains("selected") : false,
               tip: markers[key].marker.getTooltip().getContent() };
    });
    var ends = line ? line.getLatLngs().map(function (p) { return [p.lat, p.lng]; }) : [];
    return { sites: sites, line: ends, circle: circle ? circle.getRadius() : 0,
             tileNote: !document.getElementById("tileNote").hidden,
             tilesLoaded: tileState.loaded, tilesFailed: tileState.failed,
             scale: !!document.querySelector(".leaflet-control-scale"),
             attribution: document.querySelector(".leaflet-control-attribution").textContent };
  }

  // Clicks the marker of a list position as the estimator would.
  function click(position) {
    var key = Object.keys(markers).filter(function (k) { return markers[k].site.position === position; })[0];
    if (key === undefined)
      return false;
    markers[key].marker.fire("click");
    return true;
  }

  return { init: init, show: show, drawn: drawn, click: click };
})();
