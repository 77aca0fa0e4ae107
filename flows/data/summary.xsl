<?xml version="1.0"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="text"/>
  <xsl:template match="/measurements">
    <xsl:value-of select="concat('detector ', @detector, ': ', count(measurement), ' runs, total energy ', sum(measurement/@energy))"/>
  </xsl:template>
</xsl:stylesheet>
